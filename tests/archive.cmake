quillmere_add_test(archive_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveWriterTests.cpp
    LIBS    quillmere_archive)
