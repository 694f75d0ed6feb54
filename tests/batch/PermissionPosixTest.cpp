#include "support/BatchFixture.h"

#include <grp.h>
#include <optional>
#include <sys/xattr.h>
#include <tuple>
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

namespace
{
    /** An access list as the system stores it: version 2, then tag, permissions, id. */
    std::string accessList (std::initializer_list<std::tuple<uint16_t, uint16_t, uint32_t>> entries)
    {
        std::string blob ("\x02\0\0\0", 4);
        for (const auto& [tag, permissions, id] : entries)
        {
            const auto append = [&] (const void* bytes, size_t size) { blob.append (static_cast<const char*> (bytes), size); };
            append (&tag, 2), append (&permissions, 2), append (&id, 4);
        }
        return blob;
    }

    constexpr uint16_t userObject = 1, namedUser = 2, groupObject = 4, mask = 0x10, other = 0x20;
    constexpr uint32_t noId = 0xFFFFFFFF, nobody = 65534;

    // rw-r--r-- but nobody may do nothing: mode 0644 with an extended list.
    const auto nobodyKeptOut = accessList ({ { userObject, 6, noId }, { namedUser, 0, nobody }, { groupObject, 4, noId }, { mask, 4, noId }, { other, 4, noId } });

    std::optional<std::string> attribute (const juce::File& file, const char* name)
    {
        char value[256];
        const auto size = ::getxattr (file.getFullPathName().toRawUTF8(), name, value, sizeof value);
        return size < 0 ? std::nullopt : std::optional<std::string> (std::string (value, (size_t) size));
    }

    bool setAttribute (const juce::File& file, const char* name, const std::string& value)
    {
        return ::setxattr (file.getFullPathName().toRawUTF8(), name, value.data(), value.size(), 0) == 0;
    }
}

// A new version and a restored file keep the access list and extended
// attributes of the file they replace, and a backup holding a file with an
// extended list is its owner's alone.
TEST_F (Permissions, AccessListsAndExtendedAttributesAreKeptAndKeepTheBackupPrivate)
{
    const auto file = folder.write ("a.xml", "Blah");
    if (! setAttribute (file, "system.posix_acl_access", nobodyKeptOut) || ! setAttribute (file, "user.tag", "drums"))
        GTEST_SKIP() << "this file system keeps no access lists or user attributes";
    ASSERT_EQ (modeOf (file), 0644u);

    const auto edited = run (replaceSettings ("Blah", "Blub"));
    ASSERT_EQ (edited.status, BatchOutcome::Status::completed) << edited.log;
    EXPECT_EQ (folder.read ("a.xml"), "Blub");
    EXPECT_EQ (attribute (file, "system.posix_acl_access"), nobodyKeptOut);
    EXPECT_EQ (attribute (file, "user.tag"), std::string ("drums"));
    EXPECT_EQ (modeOf (file), 0644u);
    EXPECT_EQ (modeOf (edited.backupFile), 0600u);

    // The restore keeps the list of the file it replaces, and the mode the
    // archive holds narrows it.
    ASSERT_EQ (::chmod (file.getFullPathName().toRawUTF8(), 0640), 0);
    const auto restored = run (restoreSettings (edited.backupFile));
    ASSERT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;
    EXPECT_EQ (folder.read ("a.xml"), "Blah");
    EXPECT_EQ (modeOf (file), 0644u);
    EXPECT_EQ (attribute (file, "system.posix_acl_access"), nobodyKeptOut);
    EXPECT_EQ (attribute (file, "user.tag"), std::string ("drums"));
}

// A folder's default list goes to every file made in it; the new version of
// a file that had no list of its own must not get one, nor let anyone in.
TEST_F (Permissions, ANewVersionDoesNotTakeTheFoldersDefaultList)
{
    const auto file = folder.write ("sub/a.xml", "Blah");
    const auto letNobodyIn = accessList ({ { userObject, 7, noId }, { namedUser, 7, nobody }, { groupObject, 5, noId }, { mask, 7, noId }, { other, 5, noId } });
    if (! setAttribute (folder.file ("sub"), "system.posix_acl_default", letNobodyIn))
        GTEST_SKIP() << "this file system keeps no access lists";

    const auto edited = run (replaceSettings ("Blah", "Blub", true));
    ASSERT_EQ (edited.status, BatchOutcome::Status::completed) << edited.log;
    EXPECT_EQ (folder.read ("sub/a.xml"), "Blub");
    EXPECT_EQ (attribute (file, "system.posix_acl_access"), std::nullopt);
    EXPECT_EQ (modeOf (file), 0644u);
}
