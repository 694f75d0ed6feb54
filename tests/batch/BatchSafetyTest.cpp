#include "ProcessFacts.h"
#include "support/BatchFixture.h"
#include "support/EndedProcess.h"
#include "support/TestLinks.h"

#include <atomic>
#include <optional>
#include <thread>

using SafeRun = BatchFixture;

namespace
{
    juce::StringArray namesIn (const juce::File& archive)
    {
        juce::ZipFile zip (archive);
        juce::StringArray names;
        for (int i = 0; i < zip.getNumEntries(); ++i)
            names.add (zip.getEntry (i)->filename);
        return names;
    }

    bool hasTemporaryFiles (const juce::File& folder)
    {
        return ! folder.findChildFiles (juce::File::findFiles, true, ".quillmere-*").isEmpty();
    }
}

TEST_F (SafeRun, LinksOutsideAreLeftAloneAndASecondNameIsProcessedOnce)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder elsewhere;
    elsewhere.write ("outside.xml", "Blah");
    folder.write ("a.xml", "Blah");
    elsewhere.file ("outside.xml").createSymbolicLink (folder.file ("link-out.xml"), false);
    folder.file ("a.xml").createSymbolicLink (folder.file ("b-alias.xml"), false);

    const auto outcome = run (replaceSettings ("Blah", "Blub"));

    EXPECT_EQ (elsewhere.read ("outside.xml"), "Blah");
    EXPECT_EQ (folder.read ("a.xml"), "Blub");
    EXPECT_TRUE (folder.file ("b-alias.xml").isSymbolicLink());
    EXPECT_TRUE (outcome.log.contains ("link-out.xml...failed: it leads to " + elsewhere.file ("outside.xml").getFullPathName()
                                       + ", outside the folder"))
        << outcome.log;
    EXPECT_TRUE (outcome.log.contains ("b-alias.xml...skipped: the same file as " + path ("a.xml"))) << outcome.log;
    EXPECT_EQ (namesIn (outcome.backupFile), juce::StringArray ({ "a.xml" }));
}

TEST_F (SafeRun, FolderLinksLeadingOutsideAreNotWalked)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder elsewhere;
    elsewhere.write ("deep.xml", "Blah");
    elsewhere.get().createSymbolicLink (folder.file ("linked"), false);
    folder.write ("a.xml", "Blah");

    const auto outcome = run (replaceSettings ("Blah", "Blub", true));
    EXPECT_EQ (elsewhere.read ("deep.xml"), "Blah");
    EXPECT_FALSE (outcome.log.contains ("deep.xml"));
}

TEST_F (SafeRun, ADanglingLinkAtTheBackupNameIsNeverFollowed)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder elsewhere;
    folder.write ("a.xml", "Blah");
    elsewhere.file ("created-by-us.zip").createSymbolicLink (folder.file ("QuillmereBackup.zip"), false);

    const auto outcome = run (replaceSettings ("Blah", "Blub"));
    EXPECT_EQ (outcome.backupFile.getFileName(), "QuillmereBackup(2).zip");
    EXPECT_FALSE (elsewhere.file ("created-by-us.zip").exists());
    EXPECT_TRUE (folder.file ("QuillmereBackup.zip").isSymbolicLink());
}

TEST_F (SafeRun, LeftoversOfADeadRunAreRemovedAndReported)
{
    folder.write ("a.xml", "Blah");
    folder.write (".quillmere-7.tmp", "from an earlier version");
    const auto ours = ".quillmere-" + juce::String (ProcessFacts::processId()) + "-99.tmp";
    folder.write (ours, "from a run still going");

    // A process id that is gone: a child that has exited and been waited for.
    const auto ended = EndedProcess::id();
    ASSERT_GT (ended, 0);
    const auto deadName = ".quillmere-" + juce::String (ended) + "-1.tmp";
    folder.write (deadName, "from a killed run");

    const auto outcome = run (replaceSettings ("Blah", "Blub"));
    EXPECT_FALSE (folder.file (".quillmere-7.tmp").exists());
    EXPECT_FALSE (folder.file (deadName).exists());
    EXPECT_TRUE (folder.file (ours).exists());
    EXPECT_TRUE (outcome.log.contains ("removed a temporary file left by an interrupted run: " + path (deadName)));
}

namespace
{
    /** Cancels the run once `after` steps of the phase are done, or `after` files without one. */
    struct CancellingReporter : RecordingReporter
    {
        CancellingReporter (std::optional<Phase> phaseToStop, int stepsBefore) : phase (phaseToStop), after (stepsBefore) {}

        void phaseProgress (Phase current, int done, int total) override
        {
            RecordingReporter::phaseProgress (current, done, total);
            if (phase == current && done == after)
                cancel = true;
        }

        void fileDone (int done, int total) override
        {
            RecordingReporter::fileDone (done, total);
            if (! phase && done == after)
                cancel = true;
        }

        const std::optional<Phase> phase;
        const int after;
        std::atomic<bool> cancel { false };
    };
}

TEST_F (SafeRun, CancelDuringTheBackupLeavesNoArchiveAndTheLogNamesNone)
{
    for (int i = 0; i < 4; ++i)
        folder.write ("f" + juce::String (i) + ".xml", "Blah");

    CancellingReporter cancelling (BatchReporter::Phase::backup, 2);
    BatchRun batch (replaceSettings ("Blah", "Blub"), &engine, cancelling);
    batch.setCancelFlag (cancelling.cancel);
    const auto outcome = batch.run();

    EXPECT_EQ (outcome.status, BatchOutcome::Status::cancelled);
    EXPECT_EQ (outcome.backupFile, juce::File());
    EXPECT_TRUE (folder.get().findChildFiles (juce::File::findFiles, false, "*.zip").isEmpty());
    EXPECT_TRUE (outcome.log.startsWith ("creating backup in file: " + path ("QuillmereBackup.zip")
                                         + "...cancelled, no backup was written \n"))
        << outcome.log;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (folder.read ("f" + juce::String (i) + ".xml"), "Blah");
}

TEST_F (SafeRun, CancelAfterNFilesChangesExactlyThoseAndKeepsTheBackup)
{
    for (int i = 0; i < 6; ++i)
        folder.write ("f" + juce::String (i) + ".xml", "Blah");

    CancellingReporter cancelling ({}, 2);
    BatchRun batch (replaceSettings ("Blah", "Blub"), &engine, cancelling);
    batch.setCancelFlag (cancelling.cancel);
    const auto outcome = batch.run();

    EXPECT_EQ (outcome.status, BatchOutcome::Status::cancelled);
    EXPECT_EQ (outcome.filesChanged, 2);
    EXPECT_TRUE (outcome.log.endsWith ("\nBatch processing cancelled. \n"));
    int changed = 0;
    for (int i = 0; i < 6; ++i)
        changed += folder.read ("f" + juce::String (i) + ".xml") == "Blub" ? 1 : 0;
    EXPECT_EQ (changed, 2);
    EXPECT_EQ (namesIn (outcome.backupFile).size(), 6);
    EXPECT_FALSE (hasTemporaryFiles (folder.get()));
}

TEST_F (SafeRun, TwoRunsAtOnceKeepBothBackupsAndEveryEdit)
{
    for (int i = 0; i < 4; ++i)
        folder.write ("f" + juce::String (i) + ".xml", "one");

    // The first run pauses after its first file until the second has started
    // and is waiting for the folder: the two are forced to overlap.
    struct PausingReporter : RecordingReporter
    {
        std::function<void()> afterFirstFile;
        void fileDone (int done, int) override
        {
            if (done == 1 && afterFirstFile)
                afterFirstFile();
        }
    } first;
    struct WaitingReporter : BatchReporter
    {
        std::atomic<bool> waiting { false };
        void logAppended (const juce::String& text) override { waiting = waiting || text.contains ("waiting for another run"); }
    } second;
    FormulaEngine otherEngine;
    BatchOutcome secondOutcome;
    std::thread secondRun;

    first.afterFirstFile = [&] {
        secondRun = std::thread ([&] { secondOutcome = BatchRun (replaceSettings ("two", "three"), &otherEngine, second).run(); });
        for (int wait = 0; wait < 500 && ! second.waiting; ++wait)
            juce::Thread::sleep (10);
    };

    const auto firstOutcome = BatchRun (replaceSettings ("one", "two"), &engine, first).run();
    secondRun.join();

    EXPECT_TRUE (secondOutcome.log.startsWith ("waiting for another run in this folder to finish...\n"));
    EXPECT_NE (firstOutcome.backupFile, secondOutcome.backupFile);
    for (int i = 0; i < 4; ++i)
    {
        const auto name = "f" + juce::String (i) + ".xml";
        EXPECT_EQ (folder.read (name), "three");
        juce::ZipFile firstZip (firstOutcome.backupFile), secondZip (secondOutcome.backupFile);
        juce::MemoryBlock before, between;
        std::unique_ptr<juce::InputStream> (firstZip.createStreamForEntry (*firstZip.getEntry (name)))->readIntoMemoryBlock (before);
        std::unique_ptr<juce::InputStream> (secondZip.createStreamForEntry (*secondZip.getEntry (name)))->readIntoMemoryBlock (between);
        EXPECT_EQ (before.toString(), "one");
        EXPECT_EQ (between.toString(), "two");
    }
}

TEST_F (SafeRun, CancelStopsALongConversionInsideItsFileAndLeavesItUnchanged)
{
    std::string many = "<r>";
    for (int i = 0; i < 400000; ++i)
        many += "<e v=\"1\"/>";
    folder.write ("big.xml", many + "</r>");

    // The cancel comes once the file's line is written, so the run is inside
    // the file: the engine's abort hook must stop its evaluations there.
    struct CancelAtTheBigFile : BatchReporter
    {
        std::atomic<bool> cancel { false };
        void logAppended (const juce::String& text) override { cancel = cancel || text.contains ("big.xml"); }
    } cancelling;
    BatchRun batch (convertSettings ("v", "x + 1"), &engine, cancelling);
    batch.setCancelFlag (cancelling.cancel);
    const auto outcome = batch.run();

    EXPECT_EQ (outcome.status, BatchOutcome::Status::cancelled) << outcome.log;
    EXPECT_TRUE (outcome.log.contains ("big.xml...cancelled, unchanged \n")) << outcome.log;
    EXPECT_TRUE (folder.read ("big.xml") == many + "</r>");
    EXPECT_FALSE (hasTemporaryFiles (folder.get()));
}
