quillmere_add_test(archive_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive/BackupArchiveReadTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/BackupCopiesTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/CheckedBufferedOutputStreamTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/ReadAheadInputStreamTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveWriterTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveEntryTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveFailureTests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/Zip64Tests.cpp
            ${CMAKE_CURRENT_LIST_DIR}/archive/ZipEntryLoaderTests.cpp
    LIBS    quillmere_archive)
