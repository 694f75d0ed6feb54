quillmere_add_test(xmltext_tests
    SOURCES xmltext/UnifiedDiffTest.cpp
            xmltext/AttributeLocatorTest.cpp
            xmltext/GzipTextTest.cpp
            xmltext/ValuePathTest.cpp
    LIBS quillmere_xmltext)
