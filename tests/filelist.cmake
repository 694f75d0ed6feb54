quillmere_add_test(filelist_tests
    SOURCES filelist/FileManagerTest.cpp
    LIBS quillmere_filelist)
