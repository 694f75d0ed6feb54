# The file list on every system; a named pipe and paths made by descriptor
# on POSIX systems alone.
set(filelist_tests_posix filelist/FileManagerPosixTest.cpp)
if(WIN32)
    set(filelist_tests_posix "")
endif()
quillmere_add_test(filelist_tests
    SOURCES filelist/FileManagerTest.cpp ${filelist_tests_posix}
    LIBS quillmere_filelist)
