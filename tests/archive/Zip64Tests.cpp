#include "BackupArchive.h"
#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"
#include "support/HostPrograms.h"
#include "support/SparseFile.h"

#include <gtest/gtest.h>

using namespace ziptest;

namespace
{
    juce::File sparseFile (const TempFolder& temp, const juce::String& name, juce::int64 size, const std::string& tail)
    {
        const auto file = temp.file (name);
        EXPECT_TRUE (SparseFile::withTail (file, size, tail)) << name;
        return file;
    }

    /** Python's zipfile checks every CRC and reads the sizes and the last entry. */
    void expectPythonReadsItBack (const juce::File& archive)
    {
        juce::ChildProcess python;
        ASSERT_TRUE (python.start (juce::StringArray { "python3", "-c",
                                                       "import sys, zipfile\n"
                                                       "z = zipfile.ZipFile(sys.argv[1])\n"
                                                       "assert z.testzip() is None\n"
                                                       "sizes = {i.filename: i.file_size for i in z.infolist()}\n"
                                                       "assert sizes == {'small.xml': 4, 'huge.xml': 0x100000010, 'after.xml': 4}, sizes\n"
                                                       "assert z.read('after.xml') == b'<b/>'\n"
                                                       "print('ok')\n",
                                                       archive.getFullPathName() }));
        const auto output = python.readAllProcessOutput();
        EXPECT_TRUE (python.waitForProcessToFinish (600000));
        EXPECT_EQ (python.getExitCode(), 0u) << output;
        EXPECT_EQ (output.trim(), "ok");
    }

    /** Counts what it is given. */
    struct CountingOutputStream : juce::OutputStream
    {
        bool write (const void*, size_t size) override
        {
            written += (juce::int64) size;
            return true;
        }
        void flush() override {}
        bool setPosition (juce::int64) override { return false; }
        juce::int64 getPosition() override { return written; }

        juce::int64 written = 0;
    };

    /** libzip, where there is no Python (under Wine), streams every entry
        to its end, where it checks the CRC. */
    void expectLibzipReadsItBack (const juce::File& archive)
    {
        BackupArchive reader (archive);
        ASSERT_TRUE (reader.open().wasOk());
        const std::pair<const char*, juce::int64> sizes[] = { { "small.xml", 4 }, { "huge.xml", 0x100000010ll }, { "after.xml", 4 } };
        ASSERT_EQ (reader.getNumEntries(), (int) std::size (sizes));
        for (int i = 0; i < reader.getNumEntries(); ++i)
        {
            EXPECT_EQ (reader.getEntryName (i), sizes[i].first);
            CountingOutputStream out;
            EXPECT_TRUE (reader.writeTo (i, out).wasOk()) << sizes[i].first;
            EXPECT_EQ (out.written, sizes[i].second) << sizes[i].first;
        }
        std::string after;
        EXPECT_TRUE (reader.read (2, after).wasOk());
        EXPECT_EQ (after, "<b/>");
    }
}

// An entry of more than 4 GiB, after a small one, needs ZIP64 sizes, a ZIP64
// offset for the entry after it and the ZIP64 end records; another reader
// reads the whole archive back and checks every CRC.
TEST (Zip64, AnEntryOfMoreThanFourGiBIsReadBackByAnotherReader)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (temp.write ("small.xml", "<a/>"), "small.xml");
    writer.addEntry (sparseFile (temp, "huge.xml", 0x100000010ll, "the end"), "huge.xml");
    writer.addEntry (temp.write ("after.xml", "<b/>"), "after.xml");

    const auto archive = temp.file ("backup.zip");
    {
        SparseFileOutputStream out (archive);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (writer.writeTo (out)) << writer.getLastError();
    }

    if (HostPrograms::available ("python3"))
        expectPythonReadsItBack (archive);
    else
        expectLibzipReadsItBack (archive);
}
