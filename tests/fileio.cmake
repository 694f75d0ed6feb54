quillmere_add_test(fileio_tests
    SOURCES fileio/FolderAccessTest.cpp
            fileio/DisplayNameTest.cpp
            fileio/FolderLockTest.cpp
            fileio/WindowsNamesTest.cpp
    LIBS quillmere_fileio)
