#include "FolderLock.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

// A run excludes every run on its folder, above it or below it, and leaves
// runs beside it alone: the second lock waits (and gives up on a cancel) or
// is taken at once.
TEST (FolderLock, NestedFoldersTakeTurnsAndFoldersBesideEachOtherDoNot)
{
    struct Row
    {
        const char *first, *second;
        bool waits;
    };
    const Row rows[] = {
        { "d", "d/sub", true },
        { "d/sub", "d", true },
        { "d", "d", true },
        { "d/sub", "d/other", false },
    };

    TestFolder root;
    root.file ("d/sub").createDirectory();
    root.file ("d/other").createDirectory();
    for (const auto& row : rows)
    {
        FolderLock first, second;
        ASSERT_TRUE (first.acquire (root.file (row.first), {}, nullptr).wasOk());

        std::atomic<bool> cancel { false };
        bool waited = false;
        const auto result = second.acquire (
            root.file (row.second), [&] { waited = cancel = true; }, &cancel);
        EXPECT_EQ (waited, row.waits) << row.first << " then " << row.second;
        EXPECT_EQ (result.wasOk(), ! row.waits) << row.first << " then " << row.second;
    }
}
