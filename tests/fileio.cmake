# The folder layer's promises on each system: FolderAccessTest holds the
# POSIX ones (modes, links, descriptors), WindowsFolderAccessTest those
# Wine can show; the rest hold on both.
if(WIN32)
    set(platform_tests fileio/WindowsFolderAccessTest.cpp)
else()
    set(platform_tests fileio/FolderAccessTest.cpp)
endif()
quillmere_add_test(fileio_tests
    SOURCES ${platform_tests}
            fileio/DisplayNameTest.cpp
            fileio/FolderLockTest.cpp
            fileio/WindowsNamesTest.cpp
    LIBS quillmere_fileio)
