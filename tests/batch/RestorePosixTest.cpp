// Restores where POSIX alone can set the scene: a file's archived mode, an
// archive made by Info-ZIP's zip, and FIFOs and links among the backups.
#include "BackupArchive.h"
#include "RestoreOperation.h"
#include "support/BatchFixture.h"

#include <map>
#include <sys/stat.h>

using RestoreRun = BatchFixture;

TEST_F (RestoreRun, ADeletedFileComesBackWithItsFolderAndMode)
{
    folder.write ("sub/deep/a.xml", "<a/>");
    ::chmod (path ("sub/deep/a.xml").toRawUTF8(), 0640);
    auto settings = replaceSettings ("a", "b", true);
    const auto edited = run (settings);
    folder.file ("sub").deleteRecursively();

    const auto restored = run (restoreSettings (edited.backupFile));
    EXPECT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;
    EXPECT_EQ (folder.read ("sub/deep/a.xml"), "<a/>");
    struct stat info
    {
    };
    ASSERT_EQ (::stat (path ("sub/deep/a.xml").toRawUTF8(), &info), 0);
    EXPECT_EQ (info.st_mode & 0777, 0640u);
}

TEST_F (RestoreRun, AnArchiveOfZipWithDeflatedEntriesIsRestored)
{
    folder.write ("a.xml", std::string (5000, 'a'));
    folder.write ("sub/b.xml", "<b>" + std::string (3000, 'b') + "</b>");
    const auto original = folder.xmlContents();

    juce::ChildProcess zip;
    ASSERT_TRUE (zip.start (juce::StringArray { "sh", "-c", "cd \"$0\" && zip -q -r -9 ../deflated.zip .", path ("") }));
    zip.readAllProcessOutput();
    ASSERT_EQ (zip.getExitCode(), 0u);
    const auto archive = folder.file ("deflated.zip");
    ASSERT_TRUE (folder.privateParent().getChildFile ("deflated.zip").moveFileTo (archive));

    folder.write ("a.xml", "changed");
    folder.file ("sub/b.xml").deleteFile();
    const auto outcome = run (restoreSettings (archive));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed) << outcome.log;
    EXPECT_EQ (folder.xmlContents(), original);
}

// Only regular files are listed: a FIFO of a backup's name would block its reader.
TEST_F (RestoreRun, TheListOfBackupsTakesNeitherAFifoNorALink)
{
    folder.write ("a.xml", "<a/>");
    const auto edited = run (replaceSettings ("a", "b"));
    ASSERT_EQ (edited.status, BatchOutcome::Status::completed) << edited.log;

    ASSERT_EQ (::mkfifo (folder.file ("QuillmereBackup(8).zip").getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE (folder.file ("QuillmereBackup.zip").createSymbolicLink (folder.file ("QuillmereBackup(7).zip"), false));
    const auto backups = BackupArchive::listIn (folder.get());
    ASSERT_EQ (backups.size(), 1u);
    EXPECT_EQ (backups[0].file, edited.backupFile);
}

TEST_F (RestoreRun, AFifoGivenForTheArchiveIsRefusedWithoutWaitingForAWriter)
{
    const auto fifo = folder.file ("pipe.zip");
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    RestoreOperation restore (restoreSettings (fifo));
    EXPECT_TRUE (restore.prepare().isRefused());
}
