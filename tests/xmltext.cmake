quillmere_add_test(xmltext_tests
    SOURCES xmltext/UnifiedDiffTest.cpp
            xmltext/AttributeLocatorTest.cpp
            xmltext/GzipTextTest.cpp
            xmltext/ValuePathTest.cpp
            xmltext/StructureEditorTest.cpp
    LIBS quillmere_xmltext)
