#include "BackupArchive.h"
#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace ziptest;

namespace
{
    constexpr juce::uint16 utf8NameFlag = 0x0800;
    // The file type bits of the Unix mode an entry's external attributes hold.
    constexpr juce::uint32 unixTypeBits = 0170000, unixRegularFile = 0100000;

    struct Source
    {
        juce::String relativePath;
        std::string content;
    };

    // Adds the sources as the batch run does: named by their path relative
    // to the folder, '/' between its parts on every system.
    void addAll (ZipArchiveWriter& writer, const TempFolder& temp, const std::vector<Source>& sources)
    {
        for (const auto& s : sources)
            writer.addEntry (temp.write (s.relativePath, s.content), s.relativePath);
    }

    // Both headers of every entry must describe exactly the bytes stored.
    void expectConsistent (const RawArchive& a, const std::vector<Source>& expected)
    {
        ASSERT_EQ (a.entries.size(), expected.size());

        for (size_t i = 0; i < expected.size(); ++i)
        {
            SCOPED_TRACE (expected[i].relativePath);
            const auto& c = a.entries[i];
            const auto size = (juce::uint32) expected[i].content.size();
            const auto crc = zlibCrc (expected[i].content);

            EXPECT_EQ (c.signature, 0x02014B50u);
            EXPECT_EQ (c.local.signature, 0x04034B50u);
            EXPECT_EQ (c.name, expected[i].relativePath.toStdString());
            EXPECT_EQ (c.local.name, c.name);
            EXPECT_EQ (c.local.data, expected[i].content);
            EXPECT_EQ (c.crc, crc);
            EXPECT_EQ (c.local.crc, crc);
            EXPECT_EQ (c.compressedSize, size);
            EXPECT_EQ (c.uncompressedSize, size);
            EXPECT_EQ (c.local.compressedSize, size);
            EXPECT_EQ (c.local.uncompressedSize, size);
            EXPECT_EQ (c.method, 0);
            EXPECT_EQ (c.local.method, 0);
            EXPECT_EQ (c.local.versionNeeded, 0);
            EXPECT_EQ (c.versionMadeBy, 0x0300); // Unix, so readers restore modes and UTF-8 names
            EXPECT_EQ (c.versionNeeded, 2);
            EXPECT_EQ (c.local.extraLength, 0);
            EXPECT_EQ (c.extraLength + c.commentLength + c.diskStart + c.internalAttributes, 0);
            EXPECT_EQ ((c.externalAttributes >> 16) & unixTypeBits, unixRegularFile); // the file's mode, as Unix readers expect
            EXPECT_EQ ((c.externalAttributes >> 16) & 0600, 0600u);
            EXPECT_EQ (c.modTime, c.local.modTime);
            EXPECT_EQ (c.modDate, c.local.modDate);
        }
    }

    void expectReadBackByZipFile (const juce::File& archive, const std::vector<Source>& expected)
    {
        const auto entries = readWithZipFile (archive);
        ASSERT_EQ (entries.size(), expected.size());

        for (size_t i = 0; i < expected.size(); ++i)
        {
            EXPECT_EQ (entries[i].name, expected[i].relativePath);
            EXPECT_EQ (entries[i].data, expected[i].content) << expected[i].relativePath;
        }
    }

    void expectWellFormedDirectory (const RawArchive& a, juce::int64 archiveSize)
    {
        EXPECT_EQ (a.endSignature, 0x06054B50u);
        EXPECT_EQ (a.recordsOnDisk, a.records);
        EXPECT_EQ (a.disk + a.centralDisk + a.commentLength, 0);
        EXPECT_EQ ((juce::int64) a.centralStart, a.endOfLastLocalRecord);
        EXPECT_EQ ((juce::int64) a.centralStart + a.centralSize + 22, archiveSize);
    }
}

TEST (ZipArchiveWriter, EmptyListGivesOnlyTheEndRecord)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    const auto target = temp.file ("QuillmereBackup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const std::string expected ("PK\x05\x06" + std::string (18, '\0'));
    EXPECT_EQ (readAll (target), expected);
    EXPECT_EQ (juce::ZipFile (target).getNumEntries(), 0);
}

TEST (ZipArchiveWriter, ZeroLengthFileHasHeaderAndNameOnly)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    const std::vector<Source> sources { { "empty.xml", "" } };
    addAll (writer, temp, sources);
    const auto target = temp.file ("backup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    EXPECT_EQ (target.getSize(), 30 + 9 + 46 + 9 + 22);
    const auto raw = readRaw (target);
    expectConsistent (raw, sources);
    expectWellFormedDirectory (raw, target.getSize());
    expectReadBackByZipFile (target, sources);
}

TEST (ZipArchiveWriter, StoresEveryFileByteForByteInTheOrderAdded)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    // Sizes around the copy buffer, names out of alphabetical order, one from a subfolder.
    const std::vector<Source> sources {
        { "z.xml", "<a x=\"1\"/>\n" },
        { "sub/file.xml", binaryContent (1024, 1) },
        { "b.xml", binaryContent (1025, 2) },
        { "sub/deeper/a.xml", binaryContent (5000, 3) },
        { "m.xml", std::string (1, '\0') },
    };
    addAll (writer, temp, sources);
    const auto target = temp.file ("backup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const auto raw = readRaw (target);
    EXPECT_EQ (raw.records, sources.size());
    expectConsistent (raw, sources);
    expectWellFormedDirectory (raw, target.getSize());
    expectReadBackByZipFile (target, sources);
}

TEST (ZipArchiveWriter, LeavesOutFilesDeletedOrTurnedIntoFoldersAfterTheyWereAdded)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    addAll (writer, temp, { { "a.xml", "first" }, { "b.xml", "second" }, { "c.xml", "third" }, { "d.xml", "fourth" } });
    temp.file ("b.xml").deleteFile();
    temp.file ("d.xml").deleteFile();
    temp.file ("d.xml").createDirectory();
    const auto target = temp.file ("backup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const std::vector<Source> kept { { "a.xml", "first" }, { "c.xml", "third" } };
    const auto raw = readRaw (target);
    EXPECT_EQ (raw.records, 2);
    expectConsistent (raw, kept);
    expectWellFormedDirectory (raw, target.getSize());
    expectReadBackByZipFile (target, kept);
}

TEST (ZipArchiveWriter, ReplacesAnExistingFileAtTheTarget)
{
    TempFolder temp;
    const auto target = temp.write ("backup.zip", std::string (5000, 'x'));
    ZipArchiveWriter writer;
    const std::vector<Source> sources { { "a.xml", "content" } };
    addAll (writer, temp, sources);

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    EXPECT_EQ (target.getSize(), 30 + 5 + 7 + 46 + 5 + 22);
    expectReadBackByZipFile (target, sources);
}

TEST (ZipArchiveWriter, CreatesMissingParentFolders)
{
    TempFolder temp;
    const auto target = temp.file ("not/yet/there/backup.zip");
    ZipArchiveWriter writer;

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();
    EXPECT_EQ (target.getSize(), 22);
}

TEST (ZipArchiveWriter, RefusesAFolderAtTheTarget)
{
    TempFolder temp;
    const auto target = temp.file ("backup.zip");
    target.createDirectory();
    ZipArchiveWriter writer;
    addAll (writer, temp, { { "a.xml", "content" } });

    EXPECT_FALSE (writer.writeToFile (target));
    EXPECT_TRUE (target.isDirectory());
    EXPECT_TRUE (writer.getLastError().contains (target.getFullPathName())) << writer.getLastError();
}

TEST (ZipArchiveWriter, StoresNonAsciiNamesAsUtf8WithTheLanguageEncodingFlag)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    const auto name = juce::String (juce::CharPointer_UTF8 ("Gr\xc3\xbc\xc3\x9f"
                                                            "e/na\xc3\xafve-\xe6\x96\x87.xml"));
    const std::vector<Source> sources { { "plain.xml", "ascii" }, { name, "utf8" } };
    addAll (writer, temp, sources);
    const auto target = temp.file ("backup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const auto raw = readRaw (target);
    expectConsistent (raw, sources); // compares the raw name bytes with the UTF-8 of the name
    ASSERT_EQ (raw.entries.size(), 2u);
    EXPECT_EQ (raw.entries[0].flags, 0);
    EXPECT_EQ (raw.entries[0].local.flags, 0);
    EXPECT_EQ (raw.entries[1].flags, utf8NameFlag);
    EXPECT_EQ (raw.entries[1].local.flags, utf8NameFlag);
    expectReadBackByZipFile (target, sources);
}

namespace
{
    struct TimeCase
    {
        const char* label;
        juce::Time modified;
        int dosDay, dosMonth, dosYear, dosHours, dosMinutes, dosSeconds;
    };

    void PrintTo (const TimeCase& c, std::ostream* os)
    {
        *os << c.label;
    }

    juce::uint16 dosDate (int day, int month, int year)
    {
        return (juce::uint16) (day + (month << 5) + ((year - 1980) << 9));
    }
    juce::uint16 dosTime (int h, int m, int s)
    {
        return (juce::uint16) (s / 2 + (m << 5) + (h << 11));
    }
}

class ZipArchiveTimeStamp : public testing::TestWithParam<TimeCase>
{
};

TEST_P (ZipArchiveTimeStamp, RecordsTheModificationTimeInMsDosLayout)
{
    const auto& c = GetParam();
    TempFolder temp;
    const auto source = temp.write ("a.xml", "x");
    ASSERT_TRUE (source.setLastModificationTime (c.modified));
    ZipArchiveWriter writer;
    writer.addEntry (source, "a.xml");
    const auto target = temp.file ("backup.zip");

    ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

    const auto raw = readRaw (target);
    ASSERT_EQ (raw.entries.size(), 1u);
    EXPECT_EQ (raw.entries[0].local.modDate, dosDate (c.dosDay, c.dosMonth, c.dosYear));
    EXPECT_EQ (raw.entries[0].local.modTime, dosTime (c.dosHours, c.dosMinutes, c.dosSeconds));
    EXPECT_EQ (raw.entries[0].modDate, raw.entries[0].local.modDate);
    EXPECT_EQ (raw.entries[0].modTime, raw.entries[0].local.modTime);

    const auto readBack = readWithZipFile (target);
    ASSERT_EQ (readBack.size(), 1u);
    EXPECT_EQ (readBack[0].time, juce::Time (c.dosYear, c.dosMonth - 1, c.dosDay,
                                             c.dosHours, c.dosMinutes, c.dosSeconds / 2 * 2, 0, true));
}

// Months of juce::Time count from 0; the expected DOS fields count them from 1.
INSTANTIATE_TEST_SUITE_P (Dates, ZipArchiveTimeStamp, testing::Values (TimeCase { "workedExample", juce::Time (2008, 3, 10, 12, 34, 59, 0, true), 10, 4, 2008, 12, 34, 59 }, TimeCase { "evenSeconds", juce::Time (2023, 11, 31, 23, 59, 58, 0, true), 31, 12, 2023, 23, 59, 58 }, TimeCase { "firstDosDay", juce::Time (1980, 0, 1, 0, 0, 0, 0, true), 1, 1, 1980, 0, 0, 0 }, TimeCase { "beforeDosEpochPinned", juce::Time (1975, 5, 15, 8, 30, 0, 0, true), 1, 1, 1980, 0, 0, 0 }, TimeCase { "afterDosRangePinned", juce::Time (2150, 5, 15, 8, 30, 0, 0, true), 31, 12, 2107, 23, 59, 58 }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.label); });

TEST (ZipArchiveWriter, CommentReadsBackWholeOrCutBeforeACharacter)
{
    // "é" is two bytes: an odd cut position would split one.
    std::string longText;
    while (longText.size() < ZipArchiveWriter::maxCommentBytes + 10)
        longText += "a\xC3\xA9";
    // A comment holding the end record's signature must not pass for the end.
    const std::string texts[] = { "run at 12:00\nReplace string: 'a' \n", "", longText, std::string ("with 'PK") + std::string ("\x05\x06\x00\x00", 4) + "'" };

    for (const auto& text : texts)
    {
        TempFolder temp;
        ZipArchiveWriter writer;
        addAll (writer, temp, { { "a.xml", "<a/>" } });
        writer.setComment (text);
        const auto target = temp.folder.getChildFile ("c.zip");
        ASSERT_TRUE (writer.writeToFile (target)) << writer.getLastError();

        BackupArchive archive (target);
        ASSERT_TRUE (archive.open().wasOk());
        const auto read = archive.getComment().toStdString();
        if (text.find ('\x05') != std::string::npos)
        {
            EXPECT_EQ (read, "with 'PK" + std::string (4, '?') + "'");
            continue;
        }
        EXPECT_LE (read.size(), ZipArchiveWriter::maxCommentBytes);
        EXPECT_EQ (text.compare (0, read.size(), read), 0) << "not a prefix";
        EXPECT_GT (read.size() + 3, std::min (text.size(), ZipArchiveWriter::maxCommentBytes));
        EXPECT_TRUE (juce::CharPointer_UTF8::isValidString (read.data(), (int) read.size()));
        EXPECT_EQ (archive.getNumEntries(), 1);
    }
}
