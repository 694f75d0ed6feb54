#include "ZipArchiveWriter.h"
#include "ZipEntryLoader.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace ziptest;

namespace
{
    /** Entries past the loader's window, small and large, with gaps. */
    struct LoaderFolder
    {
        TempFolder temp;
        juce::OwnedArray<ZipArchiveEntry> entries;
        std::vector<std::string> contents; // empty string: no such file

        explicit LoaderFolder (int count)
        {
            for (int i = 0; i < count; ++i)
            {
                const auto name = juce::String (i) + ".xml";
                const bool missing = i % 17 == 5;
                const size_t size = i % 23 == 0 ? (size_t) ZipArchiveEntry::wholeReadLimit + 100 : (size_t) (i * 37 % 3000);
                contents.push_back (missing ? std::string() : binaryContent (size, (unsigned) i));
                const auto file = missing ? temp.file (name) : temp.write (name, contents.back());
                entries.add (new ZipArchiveEntry (file, name));
            }
        }
    };
}

// Whatever the window and the wake-ups, every entry comes out in its order
// with its own file: small ones whole with their CRC, large ones opened for
// streaming, missing ones failed to open, as loading each alone gives.
TEST (ZipEntryLoader, HandsOutEachEntrysOwnFileInOrder)
{
    LoaderFolder folder (150);
    ZipEntryLoader loader (folder.entries);
    for (int i = 0; i < folder.entries.size(); ++i)
    {
        auto loaded = loader.next();
        ASSERT_NE (loaded.source, nullptr) << i;
        ZipArchiveEntry::Loaded alone;
        folder.entries[i]->load (alone);
        EXPECT_EQ (loaded.source->getStatus().wasOk(), alone.source->getStatus().wasOk()) << i;
        EXPECT_EQ (loaded.whole, alone.whole) << i;
        EXPECT_TRUE (loaded.bytes == alone.bytes) << i;
        if (loaded.whole)
        {
            EXPECT_TRUE (loaded.bytes == folder.contents[(size_t) i]) << i;
            EXPECT_EQ (loaded.crc, zlibCrc (folder.contents[(size_t) i])) << i;
        }
        loader.giveBack (std::move (loaded));
    }
}

// A writer that stops early (a cancelled backup) must not wait for the rest.
TEST (ZipEntryLoader, StopsWhenTheWriterStopsEarly)
{
    LoaderFolder folder (120);
    {
        ZipEntryLoader loader (folder.entries);
        for (size_t i = 0; i < 3; ++i)
        {
            const auto loaded = loader.next();
            ASSERT_NE (loaded.source, nullptr);
            EXPECT_TRUE (loaded.whole ? loaded.bytes == folder.contents[i] : loaded.source->getStatus().wasOk()) << i;
        }
    } // destroyed with most files not taken: it must stop its thread, not wait for a taker
}

// The archive written through the loader holds every file's bytes as the
// archive reader gives them back.
TEST (ZipEntryLoader, ArchiveRoundTripsThroughTheReader)
{
    LoaderFolder folder (80);
    ZipArchiveWriter writer;
    for (int i = 0; i < folder.entries.size(); ++i)
        writer.addEntry (folder.entries[i]->sourceFile, folder.entries[i]->storedName);
    const auto target = folder.temp.file ("backup.zip");
    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const auto raw = readRaw (target);
    size_t expected = 0;
    for (size_t i = 0; i < folder.contents.size(); ++i)
        if (folder.entries[(int) i]->sourceFile.existsAsFile())
        {
            ASSERT_LT (expected, raw.entries.size());
            EXPECT_TRUE (raw.entries[expected].local.data == folder.contents[i]) << i;
            EXPECT_EQ (raw.entries[expected].crc, zlibCrc (folder.contents[i])) << i;
            ++expected;
        }
    EXPECT_EQ (raw.entries.size(), expected);
}
