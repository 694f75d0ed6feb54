#include "FileState.h"
#include "FolderLock.h"
#include "ZipArchiveWriter.h"
#include "support/BatchFixture.h"
#include "support/HardLink.h"
#include "support/TestLinks.h"

#include <fstream>
#include <thread>

// A file or folder swapped for a link to the outside after the plan was
// made (at the backup, or while the file before it is processed) is neither
// followed nor backed up: its line says so and the run ends with a failure.
namespace
{
    /** Calls swap once, when a piece of the log holds trigger. */
    struct SwappingReporter : RecordingReporter
    {
        juce::String trigger;
        std::function<void()> swap;
        void logAppended (const juce::String& text) override
        {
            RecordingReporter::logAppended (text);
            if (swap && text.contains (trigger))
                std::exchange (swap, nullptr)();
        }
    };

    void swapForLink (const juce::File& name, const juce::File& target)
    {
        name.deleteRecursively();
        ASSERT_TRUE (target.createSymbolicLink (name, true));
    }
}

using Race = BatchFixture;

TEST_F (Race, ANameSwappedForAnOutsideLinkAfterThePlanIsNeverFollowed)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    struct Row
    {
        bool convert;
        const char* swapped; // "b.xml" or the folder "sub" holding it
        const char* when;
    };
    const Row rows[] = {
        { false, "b.xml", "creating backup" },
        { true, "b.xml", "creating backup" },
        { false, "sub", "creating backup" },
        { true, "sub", "creating backup" },
        { false, "b.xml", "a.xml..." },
        { true, "b.xml", "a.xml..." },
        { false, "sub", "a.xml..." },
        { true, "sub", "a.xml..." },
    };

    for (const auto& row : rows)
    {
        const bool inSub = juce::String (row.swapped) == "sub";
        const juce::String bName = inSub ? "sub/b.xml" : "b.xml";
        TestFolder outside;
        outside.write (bName, "<e v=\"1\">Blah</e>");
        folder.write ("a.xml", "<e v=\"1\">Blah</e>");
        folder.write (bName, "<e v=\"1\">Blah</e>");

        auto settings = row.convert ? convertSettings ("v", "x + 1") : replaceSettings ("Blah", "Blub");
        settings.recursive = true;
        settings.files = listedFiles (true);
        SwappingReporter swapping;
        swapping.trigger = row.when;
        swapping.swap = [&] { swapForLink (folder.file (row.swapped), outside.file (row.swapped)); };

        const auto outcome = BatchRun (settings, &engine, swapping).run();
        const auto context = juce::String (row.convert ? "convert, " : "replace, ") + row.swapped + " at " + row.when + "\n" + outcome.log;
        EXPECT_EQ (outside.read (bName), "<e v=\"1\">Blah</e>") << context;
        EXPECT_NE (folder.read ("a.xml"), "<e v=\"1\">Blah</e>") << context;
        EXPECT_EQ (outcome.filesFailed, 1) << context;
        EXPECT_TRUE (outcome.log.contains (bName.fromLastOccurrenceOf ("/", false, false) + "...failed: ")) << context;
        EXPECT_TRUE (outcome.log.contains ("link")) << context;
        EXPECT_TRUE (folder.file (row.swapped).isSymbolicLink()) << context;
        juce::ZipFile backup (outcome.backupFile);
        EXPECT_EQ (backup.getIndexOfFileName (bName), juce::String (row.when) == "creating backup" ? -1 : 1) << context;

        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A restore checks what it writes after it holds the lock: a folder swapped
// for a link to the outside while it waited receives nothing.
TEST_F (Race, ARestoreThatWaitedWritesNothingThroughAFolderSwappedMeanwhile)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder outside;
    outside.write ("sub/b.xml", "outside");
    folder.write ("a.xml", "Blah");
    folder.write ("sub/b.xml", "Blah");
    const auto edited = run (replaceSettings ("Blah", "Blub", true));
    ASSERT_EQ (edited.filesChanged, 2) << edited.log;

    auto held = std::make_unique<FolderLock>();
    ASSERT_TRUE (held->acquire (folder.get(), {}, nullptr).wasOk());

    BatchSettings settings;
    settings.operation = OperationRegistry::named ("restore backup");
    settings.parameters.setFile ("archive", edited.backupFile);
    SwappingReporter swapping;
    swapping.trigger = "waiting for another run";
    std::atomic<bool> swapped { false };
    swapping.swap = [&] {
        swapForLink (folder.file ("sub"), outside.file ("sub"));
        swapped = true;
    };

    BatchOutcome outcome;
    std::thread restore ([&] { outcome = BatchRun (settings, &engine, swapping).run(); });
    while (! swapped)
        juce::Thread::sleep (5);
    held.reset();
    restore.join();

    EXPECT_EQ (outside.read ("sub/b.xml"), "outside");
    EXPECT_EQ (folder.read ("a.xml"), "Blah");
    EXPECT_EQ (outcome.filesFailed, 1) << outcome.log;
    EXPECT_TRUE (outcome.log.contains ("b.xml...failed: the folder sub on its way is a link")) << outcome.log;
}

// One file under two hard-linked names is converted once, and the names
// stay one file.
TEST_F (Race, AHardLinkIsProcessedOnceAndStaysAHardLink)
{
    folder.write ("a.xml", "<e v=\"0\"/>");
    ASSERT_TRUE (makeHardLink (folder.file ("a.xml"), folder.file ("b.xml")));

    const auto outcome = run (convertSettings ("v", "n = n + 1; y = n;"));
    EXPECT_EQ (folder.read ("a.xml"), "<e v=\"1\"/>") << outcome.log;
    EXPECT_TRUE (outcome.log.contains ("b.xml...skipped: the same file as " + path ("a.xml"))) << outcome.log;
    const auto a = FileState::of (folder.file ("a.xml")), b = FileState::of (folder.file ("b.xml"));
    EXPECT_TRUE (a.isSameFileAs (b));
    EXPECT_EQ (a.links, 2u);
}

// A file is read from its copy in the backup only while it is exactly as it
// was backed up: one edited in place by another program after the backup
// (same inode, other bytes) is read again, so its edit is kept and changed
// as the run changes it, while the backup keeps the bytes from before.
TEST_F (Race, AFileEditedInPlaceAfterTheBackupIsReadAgain)
{
    for (const bool convert : { false, true })
    {
        folder.write ("a.xml", "<e v=\"1\">Blah</e>");
        const auto b = folder.write ("b.xml", "<e v=\"1\">Blah</e>");
        auto settings = convert ? convertSettings ("v", "x + 1") : replaceSettings ("Blah", "Blub");
        settings.files = listedFiles();
        SwappingReporter editing;
        editing.trigger = "a.xml...";
        editing.swap = [&] {
            std::ofstream (b.getFullPathName().toStdString(), std::ios::trunc) << "<e v=\"10\">Blah, edited</e>";
        };

        const auto outcome = BatchRun (settings, &engine, editing).run();
        const auto context = juce::String (convert ? "convert\n" : "replace\n") + outcome.log;
        EXPECT_EQ (outcome.filesFailed, 0) << context;
        EXPECT_EQ (folder.read ("b.xml"), convert ? "<e v=\"11\">Blah, edited</e>" : "<e v=\"10\">Blub, edited</e>") << context;
        juce::ZipFile backup (outcome.backupFile);
        const std::unique_ptr<juce::InputStream> stored (backup.createStreamForEntry (backup.getIndexOfFileName ("b.xml")));
        ASSERT_NE (stored, nullptr) << context;
        EXPECT_EQ (stored->readEntireStreamAsString(), "<e v=\"1\">Blah</e>") << context;

        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A restore that comes to a file edited after the restore's own backup was
// made leaves the edit in place and fails the file: writing over it would
// lose bytes that no backup holds. One whose backed-up bytes equal its
// entry needs no new version, and keeps the edit too.
TEST_F (Race, ARestoreKeepsAndReportsAFileEditedAfterItsBackup)
{
    for (const std::string archivedB : { "<e>1</e>", "<e>old</e>" })
    {
        ZipArchiveWriter writer;
        writer.addEntry (folder.write ("a.xml", "<e>old</e>"), "a.xml");
        const auto b = folder.write ("b.xml", archivedB);
        writer.addEntry (b, "b.xml");
        const auto archive = folder.file ("old.zip");
        ASSERT_TRUE (writer.writeToFile (archive)) << writer.getLastError();
        folder.write ("a.xml", "<e>1</e>");
        folder.write ("b.xml", "<e>1</e>");

        SwappingReporter editing;
        editing.trigger = "a.xml...";
        editing.swap = [&] { std::ofstream (b.getFullPathName().toStdString(), std::ios::trunc) << "<e>edited meanwhile</e>"; };
        const auto outcome = BatchRun (restoreSettings (archive), &engine, editing).run();

        EXPECT_EQ (folder.read ("a.xml"), "<e>old</e>") << outcome.log;
        EXPECT_EQ (folder.read ("b.xml"), "<e>edited meanwhile</e>") << outcome.log;
        // Equal to its entry when backed up, it needs no new version, and none is written.
        const bool written = archivedB != "<e>1</e>";
        EXPECT_EQ (outcome.filesFailed, written ? 1 : 0) << outcome.log;
        EXPECT_EQ (outcome.log.contains ("changed"), written) << outcome.log;
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A run that changed nothing removes its backup only while the backup's name
// still holds it: a file that took the name meanwhile (another program's
// archive) stays, and so does the run's own archive under its new name.
TEST_F (Race, AnUnusedBackupIsRemovedOnlyWhileItsNameHoldsIt)
{
    for (const bool swapped : { false, true })
    {
        folder.write ("a.xml", "<e v=\"0\"/>");
        SwappingReporter swapping;
        swapping.trigger = "a.xml...";
        swapping.swap = [&] {
            if (! swapped)
                return;
            ASSERT_TRUE (folder.file ("QuillmereBackup.zip").moveFileTo (folder.file ("moved.zip")));
            folder.write ("QuillmereBackup.zip", "another program's archive");
        };

        // A division by zero at the first file stops the run before any change.
        const auto outcome = BatchRun (convertSettings ("v", "1 / x"), &engine, swapping).run();
        EXPECT_EQ (outcome.status, BatchOutcome::Status::aborted) << outcome.log;
        EXPECT_EQ (outcome.log.contains ("removed the backup"), ! swapped) << outcome.log;
        EXPECT_EQ (folder.file ("QuillmereBackup.zip").exists(), swapped) << outcome.log;
        if (swapped)
        {
            EXPECT_EQ (folder.read ("QuillmereBackup.zip"), "another program's archive");
            EXPECT_TRUE (folder.file ("moved.zip").existsAsFile());
        }
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A file read from its backup copy is compared with the file where the run
// looks at its name anyway: before its new version takes the name (the file
// edited in place, above), or after the work when it gets none. Edited
// after the backup, it is read again and the edit worked on even when the
// copy needed no change; deleted, it is passed over without a line, as a
// file gone since the scan.
TEST_F (Race, AFileChangedAfterTheBackupIsWorkedOnAsItIsAtItsTurn)
{
    struct Row
    {
        bool convert;
        const char* backedUp;
        const char* meanwhile; // nullptr: deleted
        const char* expected;  // nullptr: gone
    };
    const Row rows[] = {
        { false, "<e>none</e>", "<e>Blah now</e>", "<e>Blub now</e>" },
        { false, "<e>Blah</e>", nullptr, nullptr },
        { false, "<e>none</e>", nullptr, nullptr },
        { true, "<e w=\"1\"/>", "<e v=\"5\"/>", "<e v=\"6\"/>" },
        { true, "<e v=\"1\"/>", nullptr, nullptr },
        { true, "<e w=\"1\"/>", nullptr, nullptr },
    };
    for (const auto& row : rows)
    {
        folder.write ("a.xml", row.convert ? "<e v=\"1\"/>" : "<e>Blah</e>");
        const auto b = folder.write ("b.xml", row.backedUp);
        auto settings = row.convert ? convertSettings ("v", "x + 1") : replaceSettings ("Blah", "Blub");
        settings.files = listedFiles();
        SwappingReporter changing;
        changing.trigger = "a.xml...";
        changing.swap = [&] {
            if (row.meanwhile != nullptr)
                std::ofstream (b.getFullPathName().toStdString(), std::ios::trunc) << row.meanwhile;
            else
                b.deleteFile();
        };

        const auto outcome = BatchRun (settings, &engine, changing).run();
        const auto context = juce::String (row.backedUp) + " -> " + (row.meanwhile != nullptr ? row.meanwhile : "deleted") + "\n" + outcome.log;
        EXPECT_EQ (outcome.filesFailed, 0) << context;
        if (row.expected != nullptr)
            EXPECT_EQ (folder.read ("b.xml"), row.expected) << context;
        else
            EXPECT_FALSE (b.exists() || outcome.log.contains ("b.xml")) << context;

        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// Permissions changed after the backup count as they are at the file's turn.
TEST_F (Race, AFileMadeWritableOrReadOnlyAfterTheBackupIsTakenAsItIsAtItsTurn)
{
    for (const bool madeWritable : { true, false })
    {
        folder.write ("a.xml", "<e>Blah</e>");
        const auto b = folder.write ("b.xml", "<e>Blah</e>");
        b.setReadOnly (madeWritable);
        auto settings = replaceSettings ("Blah", "Blub");
        settings.files = listedFiles();
        SwappingReporter changing;
        changing.trigger = "a.xml...";
        changing.swap = [&] { b.setReadOnly (! madeWritable); };

        const auto outcome = BatchRun (settings, &engine, changing).run();
        EXPECT_EQ (folder.read ("b.xml"), madeWritable ? "<e>Blub</e>" : "<e>Blah</e>") << outcome.log;
        EXPECT_EQ (outcome.log.contains ("b.xml...failed: the file is read-only"), ! madeWritable) << outcome.log;

        b.setReadOnly (false);
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}
