#include "BackupArchive.h"
#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace ziptest;

// The archive is read through a block cache: entries that start, end or lie
// across the cache's block boundaries, and reads in any order, give back
// every byte, and a flipped byte anywhere still fails its entry's CRC.
TEST (BackupArchiveRead, EntriesAcrossBlockBoundariesComeBackWhole)
{
    constexpr size_t block = size_t (1) << 18;
    const size_t sizes[] = { 0, 1, block - 100, block, block + 1, 3 * block + 17, 5 };
    TempFolder temp;
    std::mt19937 random (22);
    std::vector<std::string> contents;
    ZipArchiveWriter writer;
    for (size_t i = 0; i < std::size (sizes); ++i)
    {
        std::string bytes (sizes[i], '\0');
        for (auto& b : bytes)
            b = (char) random();
        contents.push_back (bytes);
        writer.addEntry (temp.write ("f" + juce::String ((int) i), bytes), "f" + juce::String ((int) i));
    }
    const auto archiveFile = temp.file ("backup.zip");
    ASSERT_TRUE (writer.writeToFile (archiveFile));

    BackupArchive archive (archiveFile);
    ASSERT_TRUE (archive.open().wasOk());
    ASSERT_EQ (archive.getNumEntries(), (int) contents.size());
    for (const int index : { 6, 0, 3, 1, 5, 2, 4, 3 }) // backwards and forwards, one twice
    {
        std::string bytes;
        ASSERT_TRUE (archive.read (index, bytes).wasOk()) << index;
        EXPECT_TRUE (bytes == contents[(size_t) index]) << index;
    }

    auto damaged = readAll (archiveFile);
    damaged[damaged.size() / 2] ^= 0x01;
    temp.write ("damaged.zip", damaged);
    BackupArchive broken (temp.file ("damaged.zip"));
    ASSERT_TRUE (broken.open().wasOk());
    int failed = 0;
    for (int i = 0; i < broken.getNumEntries(); ++i)
    {
        std::string bytes;
        failed += broken.read (i, bytes).failed() ? 1 : 0;
    }
    EXPECT_EQ (failed, 1);
}
