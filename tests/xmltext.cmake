quillmere_add_test(xmltext_tests
    SOURCES xmltext/UnifiedDiffTest.cpp
    LIBS quillmere_xmltext)
