# The run's promises on every system; the POSIX-only ones (modes, owners,
# access lists, FIFOs, another user, names and paths only POSIX allows) in
# files of their own, named so. Cases that need symbolic links are left out
# where a test cannot make one (support/TestLinks.h).
set(batch_tests_everywhere
    batch/TaskDescriptionTest.cpp
    batch/TextReplacementTest.cpp
    batch/RegexReplacementTest.cpp
    batch/BatchPreviewTest.cpp
    batch/BatchRunConvertTest.cpp
    batch/BatchRunReplaceTest.cpp
    batch/BatchSafetyTest.cpp
    batch/ByteExactConvertTest.cpp
    batch/FileReadAheadTest.cpp
    batch/OutcomeTest.cpp
    batch/RaceTest.cpp
    batch/RecipeTest.cpp
    batch/RecipeRunTest.cpp
    batch/RestoreTest.cpp)
set(batch_tests_posix
    batch/BatchRunReplacePosixTest.cpp
    batch/BatchSafetyPosixTest.cpp
    batch/OutcomePosixTest.cpp
    batch/PermissionPosixTest.cpp
    batch/RestorePosixTest.cpp
    batch/RestoreRoundTripPosixTest.cpp)
if(WIN32)
    set(batch_tests_posix "")
endif()
quillmere_add_test(batch_tests
    SOURCES ${batch_tests_everywhere} ${batch_tests_posix}
    LIBS quillmere_batch quillmere_filelist)
