#include "support/BatchFixture.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using Permissions = BatchFixture;

namespace
{
    unsigned modeOf (const juce::File& file)
    {
        struct stat info;
        return ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (unsigned) (info.st_mode & 07777) : 0xFFFFu;
    }

    void setOwnership (const juce::File& file, unsigned mode, gid_t group)
    {
        ASSERT_EQ (::chown (file.getFullPathName().toRawUTF8(), (uid_t) -1, group), 0);
        ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), mode), 0);
    }

}

// The backup is readable by group or others only when each file in it is,
// along its whole path, and by the group only when the files are of the
// backup's group.
TEST_F (Permissions, ABackupIsReadableOnlyByWhoCouldReadEveryFileInIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs to give files to another group";
    const auto* adm = ::getgrnam ("adm");
    ASSERT_NE (adm, nullptr);
    const auto other = adm->gr_gid, own = ::getegid();

    struct Row
    {
        const char* case_;
        unsigned folderMode;
        gid_t folderGroup;
        unsigned fileMode;
        gid_t fileGroup;
        unsigned backupMode;
    };
    const Row rows[] = {
        { "open file in a 0700 folder", 0700, own, 0644, own, 0600 },
        { "0640 file of another group", 0755, own, 0640, other, 0600 },
        { "0644 file of another group", 0755, own, 0644, other, 0604 },
        { "0644 file in a 0750 folder of another group", 0750, other, 0644, own, 0600 },
        { "0640 file in a 0710 folder", 0710, own, 0640, own, 0640 },
        { "open file in an open folder", 0755, own, 0644, own, 0644 },
    };

    for (const auto& row : rows)
    {
        folder.write ("sub/a.xml", "Blah");
        setOwnership (folder.file ("sub"), row.folderMode, row.folderGroup);
        setOwnership (folder.file ("sub/a.xml"), row.fileMode, row.fileGroup);

        const auto outcome = run (replaceSettings ("Blah", "Blub", true));
        EXPECT_EQ (outcome.filesChanged, 1) << row.case_ << "\n"
                                            << outcome.log;
        EXPECT_EQ (modeOf (outcome.backupFile), row.backupMode) << row.case_;
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A restore gives each file its archived mode exactly, 0000 included, and
// drops setuid, setgid and sticky bits, saying so on the file's line.
TEST_F (Permissions, ARestoreSetsTheArchivedModeWithoutSpecialBits)
{
    struct Row
    {
        unsigned archived, restored;
        const char* remark;
    };
    const Row rows[] = {
        { 0000, 0000, nullptr },
        { 0640, 0640, nullptr },
        { 04755, 0755, "(its setuid bit was not restored)" },
        { 06775, 0775, "(its setuid and setgid bits were not restored)" },
    };

    const auto oldMask = ::umask (077);
    for (const auto& row : rows)
    {
        folder.write ("a.xml", "Blah");
        ASSERT_EQ (::chmod (path ("a.xml").toRawUTF8(), row.archived), 0);
        const auto edited = run (replaceSettings ("Blah", "Blub"));
        folder.file ("a.xml").deleteFile();

        const auto restored = run (restoreSettings (edited.backupFile));
        EXPECT_EQ (modeOf (folder.file ("a.xml")), row.restored) << restored.log;
        EXPECT_EQ (restored.log.contains ("not restored"), row.remark != nullptr) << restored.log;
        if (row.remark != nullptr)
        {
            EXPECT_TRUE (restored.log.contains (row.remark)) << restored.log;
        }
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
    ::umask (oldMask);
}
