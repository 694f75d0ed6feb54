# The run's promises on every system; the POSIX-only ones (modes, links,
# FIFOs, another user, descriptors swapped under a run) in a list of their own.
set(batch_tests_everywhere
    batch/TaskDescriptionTest.cpp
    batch/TextReplacementTest.cpp
    batch/RegexReplacementTest.cpp
    batch/BatchRunConvertTest.cpp
    batch/ByteExactConvertTest.cpp
    batch/FileReadAheadTest.cpp
    batch/RecipeTest.cpp
    batch/RecipeRunTest.cpp)
set(batch_tests_posix
    batch/BatchPreviewTest.cpp
    batch/BatchRunReplaceTest.cpp
    batch/BatchSafetyTest.cpp
    batch/RestoreTest.cpp
    batch/RestoreRoundTripTest.cpp
    batch/RaceTest.cpp
    batch/PermissionTest.cpp
    batch/OutcomeTest.cpp)
if(WIN32)
    set(batch_tests_posix "")
endif()
quillmere_add_test(batch_tests
    SOURCES ${batch_tests_everywhere} ${batch_tests_posix}
    LIBS quillmere_batch quillmere_filelist)
