// The run's safety where it rests on POSIX alone: the backup's permission
// bits, and a FIFO put in place of a listed file.
#include "support/BatchFixture.h"

#include <sys/stat.h>
#include <unistd.h>

using SafeRun = BatchFixture;

TEST_F (SafeRun, ABackupIsNoMoreReadableThanItsStrictestFile)
{
    folder.write ("open.xml", "Blah");
    folder.write ("private.xml", "Blah");
    ::chmod (path ("open.xml").toRawUTF8(), 0644);
    ::chmod (path ("private.xml").toRawUTF8(), 0600);

    const auto outcome = run (replaceSettings ("Blah", "Blub"));
    struct stat info
    {
    };
    ASSERT_EQ (::stat (outcome.backupFile.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ (info.st_mode & 0777, 0600u);
    EXPECT_EQ (info.st_uid, ::geteuid());
}

TEST_F (SafeRun, AFifoInPlaceOfAListedFileFailsAloneWithoutBlocking)
{
    folder.write ("a.xml", "Blah");
    folder.write ("b.xml", "Blah");
    auto settings = replaceSettings ("Blah", "Blub");
    folder.file ("a.xml").deleteFile();
    ASSERT_EQ (::mkfifo (path ("a.xml").toRawUTF8(), 0644), 0);

    const auto outcome = run (settings);
    EXPECT_TRUE (outcome.log.contains ("a.xml...failed: not a regular file")) << outcome.log;
    EXPECT_EQ (folder.read ("b.xml"), "Blub");
}
