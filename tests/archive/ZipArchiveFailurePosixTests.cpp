// The archive writer's failures that only a POSIX system can bring about
// here: a file size limit that makes the disk refuse writes, and sources
// that exist but cannot be read (a device without a driver, /proc files, a
// file without read permission for an ordinary user).
#include "ZipArchiveWriter.h"
#include "archive/ZipTestSupport.h"
#include "support/AsUnprivilegedUser.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace ziptest;

namespace
{
    /** Lowers the largest file this process may write, so that writes to a
        real file fail (EFBIG) for root too; undone on destruction. */
    class FileSizeLimit
    {
    public:
        explicit FileSizeLimit (rlim_t bytes)
        {
            getrlimit (RLIMIT_FSIZE, &saved);
            auto lowered = saved;
            lowered.rlim_cur = bytes;
            active = setrlimit (RLIMIT_FSIZE, &lowered) == 0;
            previousHandler = std::signal (SIGXFSZ, SIG_IGN); // fail the write instead of the process
        }

        ~FileSizeLimit()
        {
            setrlimit (RLIMIT_FSIZE, &saved);
            std::signal (SIGXFSZ, previousHandler);
        }

        bool active = false;

    private:
        rlimit saved {};
        void (*previousHandler) (int) = nullptr;
    };

    /** Removes a file made by the test that TempFolder might not (a device node). */
    struct RemoveOnExit
    {
        ~RemoveOnExit()
        {
            if (file != juce::File())
                file.deleteFile();
        }
        juce::File file;
    };
}

TEST (ZipArchiveWriteFailure, RemovesTheArchiveWhenTheDiskRefusesWrites)
{
    TempFolder temp;
    ZipArchiveWriter writer;
    writer.addEntry (temp.write ("a.xml", binaryContent (20000, 5)), "a.xml");
    const auto target = temp.file ("backup.zip");

    {
        FileSizeLimit limit (8192);
        ASSERT_TRUE (limit.active);
        EXPECT_FALSE (writer.writeToFile (target));
    }

    EXPECT_FALSE (target.exists());
    EXPECT_TRUE (writer.getLastError().startsWith ("write failed")) << writer.getLastError();
    EXPECT_TRUE (writer.getLastError().contains (target.getFullPathName())) << writer.getLastError();
}

namespace
{
    struct UnreadableCase
    {
        const char* label;
        // Makes a source that exists but cannot be read; returns why not when it cannot here.
        std::function<juce::String (const TempFolder&, juce::File& source, RemoveOnExit&)> make;
        // Whether only a user without the superuser's powers is kept from reading it.
        bool needsUnprivilegedUser = false;
    };

    void PrintTo (const UnreadableCase& c, std::ostream* os)
    {
        *os << c.label;
    }

    // Each source exists, is not a folder, and cannot be read; the first two defeat root as well.
    const UnreadableCase unreadableCases[] = {
        { "deviceWithoutDriver", [] (const TempFolder& temp, juce::File& source, RemoveOnExit& cleanup) {
             // A character device of a major number left for local use: open() fails with ENXIO.
             source = temp.file ("device.xml");
             if (mknod (source.getFullPathName().toRawUTF8(), S_IFCHR | 0600, makedev (240, 0)) != 0)
                 return juce::String ("cannot make a device node here");
             cleanup.file = source;
             return juce::String();
         } },
        { "writeOnlyKernelSetting", [] (const TempFolder&, juce::File& source, RemoveOnExit&) {
             // Mode 0200 and no override for root: open() for reading fails with EACCES.
             source = juce::File ("/proc/sys/vm/drop_caches");
             return source.existsAsFile() && ! source.hasReadAccess() ? juce::String()
                                                                      : juce::String ("no write-only /proc setting here");
         } },
        { "noReadPermission", [] (const TempFolder& temp, juce::File& source, RemoveOnExit&) {
             // Root reads files whatever their mode: the archive is written as another user.
             source = temp.write ("locked.xml", "secret");
             chmod (source.getFullPathName().toRawUTF8(), 0);
             return juce::String();
         },
          true },
        { "readFailsAfterOpening", [] (const TempFolder&, juce::File& source, RemoveOnExit&) {
             // Opens fine; reading at offset 0 fails with EIO, as nothing is mapped there.
             source = juce::File ("/proc/self/mem");
             return source.existsAsFile() ? juce::String() : juce::String ("no /proc here");
         } },
    };
}

class ZipArchiveUnreadableSource : public testing::TestWithParam<UnreadableCase>
{
};

TEST_P (ZipArchiveUnreadableSource, FailsTheWholeArchiveAndNamesTheFile)
{
    TempFolder temp;
    juce::File source;
    RemoveOnExit cleanup;
    const auto whyNot = GetParam().make (temp, source, cleanup);
    if (whyNot.isNotEmpty())
        GTEST_SKIP() << whyNot;

    const auto fine = temp.write ("fine.xml", "readable");
    const auto writeTheArchive = [&] {
        ZipArchiveWriter writer;
        writer.addEntry (fine, "fine.xml");
        writer.addEntry (source, "unreadable.xml");

        expectRefusedWithoutArchive (writer, temp.file ("backup.zip"), "cannot read " + source.getFullPathName());
    };

    if (! GetParam().needsUnprivilegedUser)
    {
        writeTheArchive();
        return;
    }

    const AsUnprivilegedUser asUser;
    if (asUser.whyNot().isNotEmpty())
        GTEST_SKIP() << asUser.whyNot();
    asUser.giveTo (temp.folder);
    EXPECT_TRUE (asUser.run (writeTheArchive));
}

INSTANTIATE_TEST_SUITE_P (Sources, ZipArchiveUnreadableSource, testing::ValuesIn (unreadableCases),
                          [] (const auto& testInfo) { return std::string (testInfo.param.label); });
