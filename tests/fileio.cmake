quillmere_add_test(fileio_tests
    SOURCES fileio/FolderAccessTest.cpp
            fileio/DisplayNameTest.cpp
            fileio/FolderLockTest.cpp
    LIBS quillmere_fileio)
