#include "FileState.h"
#include "LogFile.h"
#include "ZipArchiveWriter.h"
#include "support/BatchFixture.h"
#include "support/TestLinks.h"

using namespace std::string_literals;

using ReplaceRun = BatchFixture;

TEST_F (ReplaceRun, ReplacesBacksUpAndLogsEveryFile)
{
    folder.write ("b.xml", "Blah blah\n");
    folder.write ("A.XML", "no match\r\n");
    folder.write ("notes.txt", "Blah");

    const auto outcome = run (replaceSettings ("Blah", "Blub"));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (outcome.filesProcessed, 2);
    EXPECT_EQ (folder.read ("b.xml"), "Blub blah\n");
    EXPECT_EQ (folder.read ("A.XML"), "no match\r\n");
    EXPECT_EQ (folder.read ("notes.txt"), "Blah");

    const auto backup = path ("QuillmereBackup.zip");
    EXPECT_EQ (outcome.log, "creating backup in file: " + backup + "...done. \n"
                                                                   "processing file: "
                                + path ("A.XML") + "...done. \n"
                                                   "processing file: "
                                + path ("b.xml") + "...done. \n"
                                                   "\n"
                                                   "Batch processing finished. \n");
    EXPECT_EQ (reporter.pieces.joinIntoString (""), outcome.log);

    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::information);
    EXPECT_EQ (alerts.alerts[0].title, "Batch processing finished");
    // The usual line, then the counts: b.xml changed, A.XML had no match.
    EXPECT_EQ (alerts.alerts[0].message, "old files were backep up in " + backup + "\n1 changed, 1 unchanged, 0 failed");

    juce::ZipFile zip (juce::File { backup });
    ASSERT_EQ (zip.getNumEntries(), 2);
    EXPECT_EQ (zip.getEntry (0)->filename, "A.XML");
    EXPECT_EQ (zip.getEntry (1)->filename, "b.xml");
    std::unique_ptr<juce::InputStream> stored (zip.createStreamForEntry (1));
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->readEntireStreamAsString(), "Blah blah\n");
}

TEST_F (ReplaceRun, TwoRunsMakeNumberedBackups)
{
    folder.write ("a.xml", "aaa");
    EXPECT_EQ (run (replaceSettings ("a", "aa")).backupFile.getFileName(), "QuillmereBackup.zip");
    EXPECT_EQ (run (replaceSettings ("a", "aa")).backupFile.getFileName(), "QuillmereBackup(2).zip");
    EXPECT_EQ (folder.read ("a.xml"), std::string (12, 'a'));
    EXPECT_TRUE (folder.file ("QuillmereBackup.zip").existsAsFile());
}

TEST_F (ReplaceRun, EmptyFolderIsRefusedWithoutAnArchive)
{
    const auto outcome = run (replaceSettings ("x", "y"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::refused);
    EXPECT_EQ (outcome.log, "");
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Nothing to do" }));
    EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
}

TEST_F (ReplaceRun, FileDeletedAfterTheScanIsSkippedSilently)
{
    folder.write ("a.xml", "x");
    folder.write ("b.xml", "x");
    auto settings = replaceSettings ("x", "y");
    folder.file ("a.xml").deleteFile();

    const auto outcome = run (std::move (settings));
    EXPECT_FALSE (outcome.log.contains ("a.xml"));
    EXPECT_EQ (outcome.filesProcessed, 1);
    EXPECT_EQ (folder.read ("b.xml"), "y");
    EXPECT_EQ (reporter.progress.back(), std::make_pair (2, 2));
    // The backup reports each file it stores, before the files are rewritten.
    EXPECT_EQ (reporter.backupProgress, (std::vector<std::pair<int, int>> { { 0, 1 } }));
}

TEST_F (ReplaceRun, EmptySearchTextIsRefusedBeforeTheBackup)
{
    folder.write ("a.xml", "text\n");
    const auto outcome = run (replaceSettings ("", "y"));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::refused);
    EXPECT_TRUE (outcome.changedNothing());
    EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Nothing to replace" }));
    EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (folder.read ("a.xml"), "text\n");
}

TEST_F (ReplaceRun, BackupFailureChangesNothing)
{
    folder.write ("a.xml", "x\n");
    folder.write ("blocker", "a file where the backup's folder would have to be");
    auto settings = replaceSettings ("x", "y");
    settings.directoryPath = folder.file ("blocker/inner").getFullPathName();

    const auto outcome = run (std::move (settings));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::backupFailed);
    EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Failure !" }));
    EXPECT_EQ (alerts.alerts[0].message, "Batch processing aborted because backup could not be created");
    EXPECT_TRUE (outcome.log.startsWith ("creating backup in file: " + folder.file ("blocker/inner/QuillmereBackup.zip").getFullPathName() + "...failed: "));
    EXPECT_FALSE (outcome.log.contains ("processing file"));
    EXPECT_EQ (folder.read ("a.xml"), "x\n");
}

TEST_F (ReplaceRun, ReadOnlyFileStaysIntactAndIsCountedAsFailed)
{
    folder.write ("a.xml", "x\n");
    folder.write ("b.xml", "x\n");
    folder.file ("a.xml").setReadOnly (true);

    const auto outcome = run (replaceSettings ("x", "y"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (outcome.filesFailed, 1);
    EXPECT_EQ (outcome.filesProcessed, 1);
    EXPECT_TRUE (outcome.log.contains ("processing file: " + path ("a.xml") + "...failed: the file is read-only\n"));
    EXPECT_EQ (folder.read ("a.xml"), "x\n");
    EXPECT_EQ (folder.read ("b.xml"), "y\n");
    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_TRUE (alerts.alerts[0].message.contains ("1 file could not be processed"));
    EXPECT_TRUE (outcome.log.endsWith ("Batch processing finished. \n"));
}

TEST_F (ReplaceRun, FileWithTheLongestPossibleNameIsRewritten)
{
    const auto name = juce::String::repeatedString ("n", 251) + ".xml"; // 255 bytes, the usual limit
    folder.write (name, "x");
    const auto outcome = run (replaceSettings ("x", "y"));
    EXPECT_EQ (outcome.filesFailed, 0) << outcome.log;
    EXPECT_EQ (folder.read (name), "y");
}

TEST_F (ReplaceRun, FilesWithoutAChangeKeepTheirInodeAndTimeInEitherOperation)
{
    folder.write ("same.xml", "<root>\n<child other=\"5\" gain=\"1.5\"/>\n</root>\n");
    folder.write ("hit.xml", "<a gain=\"2\">Blah</a>\n");
    const auto before = FileState::of (folder.file ("same.xml"));
    ASSERT_TRUE (before.exists());
    juce::Thread::sleep (1000); // a rewrite would show in the modification time

    for (const auto& settings : { replaceSettings ("Blah", "Blub"), convertSettings ("gain", "y = x;") })
    {
        const auto outcome = run (settings);
        const auto after = FileState::of (folder.file ("same.xml"));
        EXPECT_EQ (after.inode, before.inode) << settings.operation->label;
        EXPECT_EQ (after.modifiedSeconds, before.modifiedSeconds) << settings.operation->label;
        EXPECT_EQ (outcome.filesProcessed, 2);
        EXPECT_TRUE (outcome.log.contains ("processing file: " + path ("same.xml") + "...done. \n"));
    }
    EXPECT_EQ (folder.read ("hit.xml"), "<a gain=\"2\">Blub</a>\n");
}

TEST_F (ReplaceRun, ZeroByteAndUtf16FilesSurvive)
{
    folder.write ("zero.xml", "Blah\0after\n"s);
    folder.write ("wide.xml", "\xff\xfe"
                              "B\0l\0a\0h\0\n\0"s);

    run (replaceSettings ("Blah", "Blub"));
    EXPECT_EQ (folder.read ("zero.xml"), "Blub\0after\n"s);
    EXPECT_EQ (folder.read ("wide.xml"), "\xff\xfe"
                                         "B\0l\0u\0b\0\n\0"s);
}

TEST_F (ReplaceRun, SubfolderFilesAreStoredWithTheirRelativePath)
{
    folder.write ("top.xml", "x");
    folder.write ("sub/file.xml", "x");

    const auto outcome = run (replaceSettings ("x", "y", true));
    juce::ZipFile zip (outcome.backupFile);
    juce::StringArray names;
    for (int i = 0; i < zip.getNumEntries(); ++i)
        names.add (zip.getEntry (i)->filename);
    EXPECT_EQ (names, juce::StringArray ({ "sub/file.xml", "top.xml" }));
    EXPECT_EQ (folder.read ("sub/file.xml"), "y");
}

TEST_F (ReplaceRun, LatinOneFileWithTextItCannotHoldFailsAlone)
{
    folder.write ("latin.xml", "caf\xe9 Blah");
    folder.write ("utf8.xml", "Blah");

    const auto outcome = run (replaceSettings ("Blah", juce::String::fromUTF8 ("\xe2\x82\xac")));
    EXPECT_EQ (outcome.filesFailed, 1);
    EXPECT_EQ (folder.read ("latin.xml"), "caf\xe9 Blah");
    EXPECT_EQ (folder.read ("utf8.xml"), "\xe2\x82\xac");
}

//==============================================================================
TEST (LogFile, TwoSavesGiveNumberedFilesWithHeaderDescriptionAndLog)
{
    TestFolder folder;
    juce::File first, second;
    ASSERT_TRUE (LogFile::write (juce::File (folder.path()), {}, "description\n", "log line\n", first).wasOk());
    ASSERT_TRUE (LogFile::write (juce::File (folder.path()), {}, juce::String::fromUTF8 ("in \xc3\xa9t\xc3\xa9\n"), "", second).wasOk());

    EXPECT_EQ (first.getFileName(), "QuillmereLog.txt");
    EXPECT_EQ (second.getFileName(), "QuillmereLog(2).txt");
    EXPECT_EQ (TestFolder::readBytes (first), "Quillmere Logfile \r\n \r\ndescription\r\n\r\nlog line\r\n");
    EXPECT_EQ (TestFolder::readBytes (second), "Quillmere Logfile \r\n \r\nin \xc3\xa9t\xc3\xa9\r\n\r\n");
}

TEST (LogFile, NeverReplacesOrFollowsWhatHasTheName)
{
    TestFolder folder;
    folder.file ("QuillmereLog.txt").createDirectory(); // a folder is in the way
    if (TestLinks::available)
        folder.file ("elsewhere.txt").createSymbolicLink (folder.file ("QuillmereLog(2).txt"), false); // dangling
    else
        folder.write ("QuillmereLog(2).txt", "another program's");

    juce::File written;
    ASSERT_TRUE (LogFile::write (juce::File (folder.path()), {}, "d", "l", written).wasOk());
    EXPECT_EQ (written.getFileName(), "QuillmereLog(3).txt");
    EXPECT_TRUE (folder.file ("QuillmereLog.txt").isDirectory());
    EXPECT_FALSE (folder.file ("elsewhere.txt").exists());
    if (! TestLinks::available)
    {
        EXPECT_EQ (folder.read ("QuillmereLog(2).txt"), "another program's");
    }
}
