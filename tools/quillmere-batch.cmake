add_executable(quillmere-batch
    ${CMAKE_CURRENT_LIST_DIR}/quillmere-batch/BatchCommandLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quillmere-batch/ConsolePreview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quillmere-batch/ConsoleReporter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quillmere-batch/Main.cpp)
target_link_libraries(quillmere-batch PRIVATE quillmere_batch quillmere_filelist quillmere_version quillmere_warnings)
