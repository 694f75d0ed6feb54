# The formula engine's tests; the white-box ones read the engine's private headers.
quillmere_add_test(expr_tests
    SOURCES expr/BuiltInTableTest.cpp
            expr/ChainTest.cpp
            expr/ErrorsAndListsTest.cpp
            expr/EvaluationPropertyTest.cpp
            expr/ExpressionTest.cpp
            expr/FormulaTableTest.cpp
            expr/LibraryMathTest.cpp
            expr/SettledCountdownTest.cpp
    LIBS quillmere_expr)
target_include_directories(expr_tests PRIVATE ${PROJECT_SOURCE_DIR}/expr/src)

# qcalc's engine wrapper and error report, built from the tool's own sources.
quillmere_add_test(qcalc_tests
    SOURCES expr/QcalcTest.cpp
            ${PROJECT_SOURCE_DIR}/tools/qcalc/Calculator.cpp
            ${PROJECT_SOURCE_DIR}/tools/qcalc/ErrorReport.cpp
    LIBS quillmere_formula)
target_include_directories(qcalc_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/qcalc)
