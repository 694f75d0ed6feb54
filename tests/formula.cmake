
quillmere_add_test(formula_tests
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/formula/NumberTextTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/formula/NumberFormatTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/formula/FormulaEngineTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/formula/FormulaErrorTextTest.cpp
    LIBS quillmere_formula)
