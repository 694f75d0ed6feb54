quillmere_add_test(xmltext_tests
    SOURCES xmltext/UnifiedDiffTest.cpp
            xmltext/AttributeLocatorTest.cpp
    LIBS quillmere_xmltext)
