#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace ziptest;

namespace
{
    /** An output stream whose writes work but which cannot seek. */
    class UnseekableOutputStream : public juce::MemoryOutputStream
    {
    public:
        bool setPosition (juce::int64) override { return false; }
    };
}

TEST (ZipArchiveWriteFailure, FailsAtWhicheverByteTheOutputStopsAccepting)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (temp.write ("a.xml", binaryContent (1500, 4)), "a.xml");
    writer.addEntry (temp.write ("sub/b.xml", "small"), "sub/b.xml");

    juce::MemoryOutputStream complete;
    ASSERT_TRUE (writer.writeTo (complete)) << writer.getLastError();
    const auto size = (juce::int64) complete.getDataSize();

    // Every cut: in a local header, a name, the data, the central directory and the end record.
    for (juce::int64 capacity = 0; capacity < size; ++capacity)
    {
        FailingOutputStream out (capacity);
        EXPECT_FALSE (writer.writeTo (out)) << "output full after " << capacity << " of " << size << " bytes";
        EXPECT_EQ (writer.getLastError(), "write failed (disk full?)");
    }

    FailingOutputStream justEnough (size);
    EXPECT_TRUE (writer.writeTo (justEnough)) << writer.getLastError();
    EXPECT_TRUE (writer.getLastError().isEmpty());
}

TEST (ZipArchiveWriteFailure, FailsWhenTheHeaderCannotBePatched)
{
    // A small file goes out with its header complete; a larger one is
    // streamed, and its header patched afterwards.
    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (temp.write ("a.xml", binaryContent ((int) ZipArchiveEntry::wholeReadLimit + 1, 3)), "a.xml");
    UnseekableOutputStream out;

    EXPECT_FALSE (writer.writeTo (out));
    EXPECT_EQ (writer.getLastError(), "write failed (disk full?)");
}

namespace
{
    struct LimitCase
    {
        const char* label;
        std::function<void (const TempFolder&, ZipArchiveWriter&)> fill;
        const char* reason;
    };

    void PrintTo (const LimitCase& c, std::ostream* os)
    {
        *os << c.label;
    }

    const LimitCase limitCases[] = {
        { "nameLongerThanTheField", [] (const TempFolder& temp, ZipArchiveWriter& w) {
             w.addEntry (temp.write ("a.xml", "x"), juce::String::repeatedString ("a", 65536));
         },
          "is longer than a ZIP entry name can be" },
        { "emptyName", [] (const TempFolder& temp, ZipArchiveWriter& w) {
             w.addEntry (temp.write ("a.xml", "x"), {});
         },
          "no name to store" },
    };
}

class ZipArchiveFormatLimit : public testing::TestWithParam<LimitCase>
{
};

TEST_P (ZipArchiveFormatLimit, IsRefusedWithAReason)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    GetParam().fill (temp, writer);

    expectRefusedWithoutArchive (writer, temp.file ("backup.zip"), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P (Limits, ZipArchiveFormatLimit, testing::ValuesIn (limitCases),
                          [] (const auto& testInfo) { return std::string (testInfo.param.label); });
