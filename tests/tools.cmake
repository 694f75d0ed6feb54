# Runs the built command-line tools as a user would and reads what they leave.
quillmere_add_test(tool_tests
    SOURCES tools/QuillmereBatchToolTest.cpp
    LIBS quillmere_batch)
add_dependencies(tool_tests quillmere-batch)
target_compile_definitions(tool_tests PRIVATE
    QUILLMERE_BATCH_PATH="$<TARGET_FILE:quillmere-batch>"
    QUILLMERE_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
