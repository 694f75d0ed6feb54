# Runs the built command-line tools as a user would and reads what they leave;
# the cases that drive the tool through a POSIX shell in a file of their own.
set(tool_tests_posix tools/QuillmereBatchToolPosixTest.cpp)
if(WIN32)
    set(tool_tests_posix "")
endif()
quillmere_add_test(tool_tests
    SOURCES tools/QuillmereBatchToolTest.cpp tools/SynopsisTest.cpp ${tool_tests_posix}
    LIBS quillmere_batch quillmere_filelist)
add_dependencies(tool_tests quillmere-batch)
target_compile_definitions(tool_tests PRIVATE
    QUILLMERE_BATCH_PATH="$<TARGET_FILE:quillmere-batch>"
    QUILLMERE_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
    QUILLMERE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

if(WIN32)
    # The scripts below run the Linux tool; batch_agreement compares the
    # Windows one with it (tests/CMakeLists.txt).
    return()
endif()

# Backups and interrupted runs, checked with independent readers and signals
# (needs unzip, 7z, bsdtar and python3).
add_test(NAME backup_readers_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/backup_readers_test.sh $<TARGET_FILE:quillmere-batch>)
add_test(NAME interrupt_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/interrupt_test.sh $<TARGET_FILE:quillmere-batch>)
# The structure edits against xmlstarlet, in four variants of a preset (needs xmlstarlet and python3).
add_test(NAME structure_edits_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/structure_edits_test.sh $<TARGET_FILE:quillmere-batch>)
set_tests_properties(backup_readers_test interrupt_test structure_edits_test PROPERTIES TIMEOUT 600)
