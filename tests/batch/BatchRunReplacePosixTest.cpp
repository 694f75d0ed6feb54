// The run's promises that rest on POSIX permissions and owners: a file
// without read permission, a read-only folder (both as an ordinary user,
// since the superuser passes them), and the mode, owner and group a new
// version keeps.
#include "support/AsUnprivilegedUser.h"
#include "support/BatchFixture.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using ReplaceRun = BatchFixture;

TEST_F (ReplaceRun, UnreadableFileStopsTheRunBeforeAnyChange)
{
    // Something listed that exists but cannot be read: a file without read
    // permission. The superuser reads those, so the run goes as another user.
    const AsUnprivilegedUser asUser;
    if (asUser.whyNot().isNotEmpty())
        GTEST_SKIP() << asUser.whyNot();

    folder.write ("a.xml", "x\n");
    auto settings = replaceSettings ("x", "y");
    const auto unreadable = folder.write ("b.xml", "x\n");
    asUser.giveTo (folder.get());
    std::filesystem::permissions (unreadable.getFullPathName().toStdString(), std::filesystem::perms::none);
    settings.files.add (unreadable);

    const auto theRun = [&] {
        const auto outcome = run (std::move (settings));
        EXPECT_EQ (outcome.status, BatchOutcome::Status::backupFailed);
        EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Failure !" }));
        EXPECT_TRUE (outcome.log.contains ("...failed: cannot read " + unreadable.getFullPathName())) << outcome.log;
        EXPECT_EQ (folder.read ("a.xml"), "x\n");
        EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    };
    EXPECT_TRUE (asUser.run (theRun));
}

TEST_F (ReplaceRun, ReadOnlyFolderLeavesTheOriginalIntact)
{
    // The superuser may write into read-only folders, so the run goes as another user.
    const AsUnprivilegedUser asUser;
    if (asUser.whyNot().isNotEmpty())
        GTEST_SKIP() << asUser.whyNot();

    folder.write ("sub/a.xml", "x\n");
    auto settings = replaceSettings ("x", "y", true);
    settings.directoryPath = folder.path();
    asUser.giveTo (folder.get());
    folder.file ("sub").setReadOnly (true);

    const auto theRun = [&] {
        const auto outcome = run (std::move (settings));
        EXPECT_EQ (outcome.filesFailed, 1);
        EXPECT_EQ (folder.read ("sub/a.xml"), "x\n");
    };
    EXPECT_TRUE (asUser.run (theRun));
    folder.file ("sub").setReadOnly (false);
}

TEST_F (ReplaceRun, PermissionsSurviveTheRewrite)
{
    namespace fs = std::filesystem;
    const auto file = folder.write ("a.xml", "x");
    const fs::path filePath (file.getFullPathName().toStdString());
    const auto chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_exec;
    fs::permissions (filePath, chosen);
    run (replaceSettings ("x", "y"));
    EXPECT_EQ (fs::status (filePath).permissions(), chosen);
    EXPECT_EQ (folder.read ("a.xml"), "y");
    // No temporary file is left behind.
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles), 2);
}

TEST_F (ReplaceRun, OwnerAndGroupSurviveTheRewrite)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give a file to another user";

    const auto file = folder.write ("a.xml", "x");
    const auto path = file.getFullPathName().toStdString();
    ASSERT_EQ (chown (path.c_str(), 1234, 4321), 0);
    ASSERT_EQ (chmod (path.c_str(), 0640), 0);

    run (replaceSettings ("x", "y"));

    struct stat after;
    ASSERT_EQ (stat (path.c_str(), &after), 0);
    EXPECT_EQ (after.st_uid, 1234u);
    EXPECT_EQ (after.st_gid, 4321u);
    EXPECT_EQ (after.st_mode & 07777, 0640u);
    EXPECT_EQ (folder.read ("a.xml"), "y");
}
