# The archive's promises on every system; the POSIX-only ones (a file size
# limit, devices, /proc, modes) in a list of their own.
set(archive_tests_everywhere
    ${CMAKE_CURRENT_LIST_DIR}/archive/BackupArchiveReadTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/BackupCopiesTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/CheckedBufferedOutputStreamTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/ReadAheadInputStreamTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/Zip64Tests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveEntryTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveFailureTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveWriterTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/archive/ZipEntryLoaderTests.cpp)
set(archive_tests_posix
    ${CMAKE_CURRENT_LIST_DIR}/archive/ZipArchiveFailurePosixTests.cpp)
if(WIN32)
    set(archive_tests_posix "")
endif()
quillmere_add_test(archive_tests
    SOURCES ${archive_tests_everywhere} ${archive_tests_posix}
    LIBS    quillmere_archive)
