# The formula engine holder and the number reading and writing rules, in plain
# C++ without JUCE so that the command-line tools share them with the app.
# Included from app/ and, for builds that need it first, from tests/ or tools/.
include_guard(GLOBAL)

add_library(quillmere_formula STATIC
    ${CMAKE_CURRENT_LIST_DIR}/FormulaEngine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormulaErrorText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberText.cpp)
target_include_directories(quillmere_formula PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quillmere_formula
    PUBLIC  quillmere_expr quillmere_shaping
    PRIVATE quillmere_warnings)
