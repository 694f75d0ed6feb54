# What a user of an installed Quillmere meets: --version, the man pages kept in
# step with --help and the README, and the formula engine's installed library.

quillmere_add_test(release_tests
    SOURCES release/VersionTest.cpp
            release/DocsTest.cpp
    LIBS quillmere_formula quillmere_version)
add_dependencies(release_tests quillmere-batch qcalc Quillmere)
target_compile_definitions(release_tests PRIVATE
    QUILLMERE_PROJECT_VERSION="${PROJECT_VERSION}"
    QUILLMERE_BATCH_PATH="$<TARGET_FILE:quillmere-batch>"
    QCALC_PATH="$<TARGET_FILE:qcalc>"
    QUILLMERE_APP_PATH="$<TARGET_FILE:Quillmere>"
    QUILLMERE_MAN_DIR="${PROJECT_SOURCE_DIR}/doc/man"
    QUILLMERE_README="${PROJECT_SOURCE_DIR}/README.md")

# Installs the engine into a temporary prefix and builds examples/embed against
# it; with the sanitizers on, the example is built with them too.
set(embed_flags "")
if(QUILLMERE_SANITIZE)
    set(embed_flags "-fsanitize=address,undefined")
endif()
add_test(NAME embed_example_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/embed_test.sh
            ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/embed-test
            ${PROJECT_VERSION} "${embed_flags}")
set_tests_properties(embed_example_test PROPERTIES TIMEOUT 300)

add_test(NAME default_generator_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/release/default_generator_test.sh
            ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/default-generator)
set_tests_properties(default_generator_test PROPERTIES TIMEOUT 300)
