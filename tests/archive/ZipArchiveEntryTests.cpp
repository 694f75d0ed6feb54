#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace ziptest;

namespace
{
    /** A source that claims claimedLength bytes and is never exhausted, but
        yields only the given bytes and then nothing: a file that shrank or
        stalled while it was copied. */
    class StallingInputStream : public juce::InputStream
    {
    public:
        StallingInputStream (std::string bytesToYield, juce::int64 claimedLength)
            : bytes (std::move (bytesToYield)), length (claimedLength) {}

        juce::int64 getTotalLength() override { return length; }
        bool isExhausted() override { return false; }
        juce::int64 getPosition() override { return position; }
        bool setPosition (juce::int64) override { return false; }

        int read (void* destination, int maxBytes) override
        {
            const auto n = (int) juce::jmin ((juce::int64) maxBytes, (juce::int64) bytes.size() - position);
            memcpy (destination, bytes.data() + position, (size_t) n);
            position += n;
            return n;
        }

    private:
        std::string bytes;
        juce::int64 length;
        juce::int64 position = 0;
    };

    /** Endless bytes: a file that keeps growing for as long as it is read. */
    class EndlessInputStream : public juce::InputStream
    {
    public:
        juce::int64 getTotalLength() override { return 10; }
        bool isExhausted() override { return false; }
        juce::int64 getPosition() override { return position; }
        bool setPosition (juce::int64) override { return false; }

        int read (void* destination, int maxBytes) override
        {
            memset (destination, 'g', (size_t) maxBytes);
            position += maxBytes;
            return maxBytes;
        }

    private:
        juce::int64 position = 0;
    };

    /** Swallows what it is given, keeping only its position and how often it was moved. */
    class NullOutputStream : public juce::OutputStream
    {
    public:
        void flush() override {}
        juce::int64 getPosition() override { return position; }
        bool setPosition (juce::int64 p) override
        {
            position = p;
            ++moves;
            return true;
        }
        int moves = 0;
        bool write (const void*, size_t n) override
        {
            position += (juce::int64) n;
            return true;
        }

    private:
        juce::int64 position = 0;
    };
}

TEST (ZipArchiveEntry, SizesFollowTheBytesCopiedWhenTheSourceStallsShortOfItsSize)
{
    TempFolder temp;
    // The file on disk says 5000 bytes; the stream gives 1500 and then nothing, never exhausted.
    const auto file = temp.write ("shrinking.xml", binaryContent (5000, 6));
    const auto delivered = binaryContent (1500, 6);
    StallingInputStream source (delivered, 5000);
    juce::MemoryOutputStream out;
    ZipArchiveEntry entry (file, "shrinking.xml");

    const auto result = entry.writeLocalEntry (source, out); // must return, not spin

    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_TRUE (entry.written);
    const auto local = RawReader (std::string (static_cast<const char*> (out.getData()), out.getDataSize())).readLocal (0);
    EXPECT_EQ (local.compressedSize, 1500u);
    EXPECT_EQ (local.uncompressedSize, 1500u);
    EXPECT_EQ (local.crc, zlibCrc (delivered));
    EXPECT_EQ (local.data, delivered);
    EXPECT_EQ ((juce::int64) out.getDataSize(), 30 + 13 + 1500);
}

// Whatever size the file had when planned and however many bytes it then
// gives, the header holds the size and CRC of the bytes copied. A file that
// fits one read within its planned size goes out with its header complete,
// without a seek back to patch it.
TEST (ZipArchiveEntry, HeaderFollowsTheBytesCopiedOnEitherSideOfTheWholeRead)
{
    const int limit = (int) ZipArchiveEntry::wholeReadLimit;
    const struct
    {
        int planned, delivered;
    } cases[] = { { 0, 0 }, { 100, 100 }, { 100, 40 }, { 100, 250 }, { limit, limit }, { limit, limit + 10 }, { limit + 1, limit + 1 }, { limit + 1, 7 } };

    TempFolder temp;
    for (const auto& c : cases)
    {
        const auto label = ::testing::Message() << "planned " << c.planned << ", delivered " << c.delivered;
        const auto file = temp.write ("f.xml", binaryContent (c.planned, 4));
        const auto delivered = binaryContent (c.delivered, 5);
        StallingInputStream source (delivered, c.planned);
        juce::MemoryOutputStream out;
        ZipArchiveEntry entry (file, "f.xml");

        const auto result = entry.writeLocalEntry (source, out);

        ASSERT_TRUE (result.wasOk()) << label << result.getErrorMessage();
        const auto local = RawReader (std::string (static_cast<const char*> (out.getData()), out.getDataSize())).readLocal (0);
        EXPECT_EQ (local.data, delivered) << label;
        EXPECT_EQ (local.crc, zlibCrc (delivered)) << label;
        EXPECT_EQ (local.compressedSize, (juce::uint32) c.delivered) << label;
        EXPECT_EQ (local.uncompressedSize, (juce::uint32) c.delivered) << label;
        EXPECT_EQ (entry.getDataOffset() + c.delivered, (juce::int64) out.getDataSize()) << label;

        StallingInputStream again (delivered, c.planned);
        NullOutputStream counting;
        ASSERT_TRUE (ZipArchiveEntry (file, "f.xml").writeLocalEntry (again, counting).wasOk()) << label;
        EXPECT_EQ (counting.moves == 0, c.planned <= limit && c.delivered <= c.planned) << label;
    }
}

TEST (ZipArchiveEntry, SizesFollowTheBytesCopiedWhenTheFileIsLongerThanItsSizeSaid)
{
    // /proc files report size 0 yet hold bytes: the size measured before the copy is wrong.
    const juce::File file ("/proc/self/cmdline");
    if (! file.existsAsFile() || file.getSize() != 0)
        GTEST_SKIP() << "no /proc here";

    std::ifstream in ("/proc/self/cmdline", std::ios::binary);
    const std::string expected ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE (expected.empty());

    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (file, "cmdline");
    const auto target = temp.file ("backup.zip");
    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const auto raw = readRaw (target);
    ASSERT_EQ (raw.entries.size(), 1u);
    const auto& entry = raw.entries[0];
    EXPECT_EQ (entry.local.data, expected);
    EXPECT_EQ (entry.local.crc, zlibCrc (expected));
    for (auto size : { entry.local.compressedSize, entry.local.uncompressedSize, entry.compressedSize, entry.uncompressedSize })
        EXPECT_EQ (size, expected.size());
    EXPECT_EQ (entry.crc, entry.local.crc);
}

TEST (ZipArchiveEntry, StopsAFileThatNeverEndsAtTheLimitOfTheFormat)
{
    EndlessInputStream source;
    NullOutputStream out;
    ZipArchiveEntry entry (juce::File ("/nonexistent/growing.xml"), "growing.xml");

    const auto result = entry.writeLocalEntry (source, out);

    EXPECT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().contains ("growing.xml is 4 GiB or larger")) << result.getErrorMessage();
    EXPECT_FALSE (entry.written);
    EXPECT_LE (out.getPosition(), 30 + 11 + ZipArchiveEntry::maxZip32Value);
}

TEST (ZipArchiveEntry, AnEntryNotWrittenGetsNoCentralRecord)
{
    juce::MemoryOutputStream out;
    ZipArchiveEntry entry (juce::File ("/nonexistent/a.xml"), "a.xml");

    EXPECT_TRUE (entry.writeLocalEntry (out).wasOk()); // missing: skipped, not an error
    EXPECT_FALSE (entry.written);
    EXPECT_FALSE (entry.writeCentralEntry (out));
    EXPECT_EQ (out.getDataSize(), 0u);
}
