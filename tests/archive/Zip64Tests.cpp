#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace ziptest;

namespace
{
    /** Writes an archive into a sparse file: blocks of zeros become holes, so
        an archive of more than 4 GiB of zeros takes almost no disk. */
    class SparseFileOutputStream : public juce::OutputStream
    {
    public:
        explicit SparseFileOutputStream (const juce::File& file)
            : descriptor (::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {}
        ~SparseFileOutputStream() override
        {
            // The holes at the end need the file's length set; the ones inside are there already.
            [[maybe_unused]] const int extended = ::ftruncate (descriptor, std::max<off_t> (end, ::lseek (descriptor, 0, SEEK_END)));
            ::close (descriptor);
        }

        bool write (const void* data, size_t size) override
        {
            const auto* bytes = static_cast<const char*> (data);
            const bool zeros = std::all_of (bytes, bytes + size, [] (char c) { return c == 0; });
            bool ok = true;
            if (! zeros || size < 512)
                ok = ::pwrite (descriptor, data, size, position) == (ssize_t) size;
            position += (juce::int64) size;
            end = std::max (end, position);
            return ok;
        }

        void flush() override {}
        bool setPosition (juce::int64 newPosition) override
        {
            position = newPosition;
            return true;
        }
        juce::int64 getPosition() override { return position; }

    private:
        int descriptor;
        juce::int64 position = 0, end = 0;
    };

    juce::File sparseFile (const TempFolder& temp, const juce::String& name, std::uintmax_t size, const std::string& tail)
    {
        const auto file = temp.write (name, "");
        std::filesystem::resize_file (file.getFullPathName().toStdString(), size - tail.size());
        juce::FileOutputStream out (file);
        out.setPosition ((juce::int64) (size - tail.size()));
        out.write (tail.data(), tail.size());
        return file;
    }
}

// An entry of more than 4 GiB, after a small one, needs ZIP64 sizes, a ZIP64
// offset for the entry after it and the ZIP64 end records; Python's zipfile
// reads the whole archive back and checks every CRC.
TEST (Zip64, AnEntryOfMoreThanFourGiBIsReadBackByAnotherReader)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (temp.write ("small.xml", "<a/>"), "small.xml");
    writer.addEntry (sparseFile (temp, "huge.xml", 0x100000010ull, "the end"), "huge.xml");
    writer.addEntry (temp.write ("after.xml", "<b/>"), "after.xml");

    const auto archive = temp.file ("backup.zip");
    {
        SparseFileOutputStream out (archive);
        ASSERT_TRUE (writer.writeTo (out)) << writer.getLastError();
    }

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
