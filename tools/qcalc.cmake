# qcalc: a command-line calculator for the formula language.
add_executable(qcalc
    qcalc/Calculator.cpp
    qcalc/ErrorReport.cpp
    qcalc/Main.cpp)
target_link_libraries(qcalc PRIVATE quillmere_formula quillmere_version quillmere_warnings)
