
quillmere_add_test(shaping_tests
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/shaping/ShapingMathTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/shaping/ShapingFormulaTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/shaping/ShapingCallTest.cpp
    LIBS quillmere_shaping quillmere_formula)
