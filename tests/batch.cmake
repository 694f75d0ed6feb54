quillmere_add_test(batch_tests
    SOURCES batch/TaskDescriptionTest.cpp
            batch/BatchPreviewTest.cpp
            batch/TextReplacementTest.cpp
            batch/RegexReplacementTest.cpp
            batch/BatchRunReplaceTest.cpp
            batch/BatchRunConvertTest.cpp
            batch/ByteExactConvertTest.cpp
            batch/BatchSafetyTest.cpp
            batch/RestoreTest.cpp
            batch/RestoreRoundTripTest.cpp
            batch/FileReadAheadTest.cpp
            batch/RaceTest.cpp
            batch/PermissionTest.cpp
            batch/OutcomeTest.cpp
            batch/RecipeTest.cpp
            batch/RecipeRunTest.cpp
    LIBS quillmere_batch quillmere_filelist)
