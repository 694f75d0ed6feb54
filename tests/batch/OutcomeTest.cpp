#include "BatchOperationFactory.h"
#include "BatchPreview.h"
#include "support/BatchFixture.h"
#include "support/TestLinks.h"

#include <thread>
#include <zlib.h>

using Outcome = BatchFixture;

namespace
{
    /** One entry of a hand-made archive: stored, made on Unix. */
    struct RawEntry
    {
        std::string name, data;
        unsigned mode = 0100644;
        bool utf8Flag = false;
        juce::uint64 claimedSize = 0; // ZIP64 fields claiming this size, when not 0
    };

    std::string rawZip (const std::vector<RawEntry>& entries)
    {
        juce::MemoryOutputStream local, central;
        for (const auto& e : entries)
        {
            const auto offset = (int) local.getPosition();
            const auto crc = (int) crc32 (0, reinterpret_cast<const Bytef*> (e.data.data()), (uInt) e.data.size());
            const bool zip64 = e.claimedSize != 0;
            const int size32 = zip64 ? -1 : (int) e.data.size();
            const auto extra = [&] (juce::MemoryOutputStream& out) {
                if (zip64)
                    out.writeShort (1), out.writeShort (16), out.writeInt64 ((juce::int64) e.claimedSize), out.writeInt64 ((juce::int64) e.data.size());
            };
            const short flags = e.utf8Flag ? 0x800 : 0;
            local.writeInt (0x04034b50), local.writeShort (45), local.writeShort (flags), local.writeShort (0);
            local.writeInt (0x00210000), local.writeInt (crc), local.writeInt (size32), local.writeInt (size32);
            local.writeShort ((short) e.name.size()), local.writeShort (zip64 ? 20 : 0);
            local.write (e.name.data(), e.name.size()), extra (local), local.write (e.data.data(), e.data.size());

            central.writeInt (0x02014b50), central.writeShort (0x032d), central.writeShort (45), central.writeShort (flags);
            central.writeShort (0), central.writeInt (0x00210000), central.writeInt (crc), central.writeInt (size32), central.writeInt (size32);
            central.writeShort ((short) e.name.size()), central.writeShort (zip64 ? 20 : 0), central.writeShort (0), central.writeShort (0);
            central.writeShort (0), central.writeInt ((int) (e.mode << 16)), central.writeInt (offset);
            central.write (e.name.data(), e.name.size()), extra (central);
        }
        juce::MemoryOutputStream zip;
        zip << local.getMemoryBlock() << central.getMemoryBlock();
        zip.writeInt (0x06054b50), zip.writeShort (0), zip.writeShort (0), zip.writeShort ((short) entries.size());
        zip.writeShort ((short) entries.size()), zip.writeInt ((int) central.getDataSize()), zip.writeInt ((int) local.getDataSize()), zip.writeShort (0);
        return zip.toString().toStdString().empty() ? std::string() : std::string (static_cast<const char*> (zip.getData()), zip.getDataSize());
    }
}

// A restore refuses, before anything changes, what it cannot restore as it
// was: a link, two names of one file, a file inside a file, a size no disk
// holds.
TEST_F (Outcome, ARestoreRefusesWhatItCannotRestoreFaithfully)
{
    struct Row
    {
        std::vector<RawEntry> entries;
        const char* says;
    };
    const Row rows[] = {
        { { { "lnk", "elsewhere", 0120777 }, { "lnk/x.xml", "x" } }, "is a link" },
        { { { "f", "a file" }, { "f/x.xml", "x" } }, "lies inside" },
        { { { "./a.xml", "first" }, { "a.xml", "second" } }, "name the same file" },
        { { { "s//b.xml", "first" }, { "s/./b.xml", "second" } }, "name the same file" },
        { { { "a.xml", "<a/>", 0100644, false, juce::uint64 (1) << 62 } }, "claims 4611686018427387904 bytes" },
    };

    folder.write ("a.xml", "current");
    for (const auto& row : rows)
    {
        folder.write ("crafted.zip", rawZip (row.entries));
        const auto outcome = run (restoreSettings (folder.file ("crafted.zip")));
        EXPECT_EQ (outcome.status, BatchOutcome::Status::refused) << row.says;
        ASSERT_EQ (alerts.alerts.size(), 1u) << row.says;
        EXPECT_TRUE (alerts.alerts[0].message.contains (row.says)) << alerts.alerts[0].message;
        EXPECT_EQ (folder.read ("a.xml"), "current");
        EXPECT_FALSE (folder.file ("lnk").exists() || folder.file ("f").exists() || folder.file ("s").exists());
    }
}

// A restore target that is a folder or a link gets a failed line (and a
// dry run says it would fail) instead of passing in silence.
TEST_F (Outcome, ARestoreTargetThatIsNotAFileFailsWithALine)
{
    struct Row
    {
        std::function<void (const juce::File&)> make;
        const char* says;
    };
    // Links leading outside the folder refuse the whole restore (tested with
    // the crafted archives); these stay inside.
    std::vector<Row> rows {
        { [] (const juce::File& f) { f.createDirectory(); }, "it is a folder, not a regular file" },
    };
    const Row links[] = {
        { [&] (const juce::File& f) { folder.file ("gone.xml").createSymbolicLink (f, true); }, "it is a link, not a regular file" },
        { [&] (const juce::File& f) { folder.write ("there.txt", "Blah").createSymbolicLink (f, true); }, "it is a link, not a regular file" },
    };
    if (TestLinks::available)
        rows.insert (rows.end(), std::begin (links), std::end (links));

    for (const auto& row : rows)
    {
        folder.write ("a.xml", "Blah");
        folder.write ("b.xml", "Blah");
        const auto edited = run (replaceSettings ("Blah", "Blub"));
        folder.file ("a.xml").deleteFile();
        row.make (folder.file ("a.xml"));

        auto operation = BatchOperationFactory::create (restoreSettings (edited.backupFile), &engine);
        ASSERT_FALSE (BatchOperation::prepareForRun (operation.get()).isRefused());
        juce::StringArray lines;
        BatchPreview (*operation).run ([&] (const BatchPreview::FilePreview& file) { lines.add (BatchPreview::fileLine (file)); });
        EXPECT_TRUE (lines.contains (path ("a.xml") + ": would fail: " + row.says + ": not changed")) << lines.joinIntoString ("\n");

        const auto restored = run (restoreSettings (edited.backupFile));
        EXPECT_TRUE (restored.log.contains ("a.xml...failed: " + juce::String (row.says))) << restored.log;
        EXPECT_EQ (restored.filesFailed, 1);
        EXPECT_EQ (folder.read ("b.xml"), "Blah");
        EXPECT_EQ (folder.read ("there.txt"), folder.file ("there.txt").exists() ? "Blah" : "");
        EXPECT_FALSE (folder.file ("gone.xml").exists());
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

// A run on a folder and a run on a folder inside it take turns: the second
// waits for the first, and no edit is lost.
TEST_F (Outcome, RunsOnNestedFoldersTakeTurns)
{
    folder.write ("a.xml", "one");
    folder.write ("sub/b.xml", "one");
    folder.write ("sub/c.xml", "one");

    struct PausingReporter : RecordingReporter
    {
        std::function<void()> afterFirstFile;
        void fileDone (int done, int) override
        {
            if (done == 1 && afterFirstFile)
                std::exchange (afterFirstFile, nullptr)();
        }
    } outer;
    struct WaitingReporter : RecordingReporter
    {
        std::atomic<bool> waiting { false };
        void logAppended (const juce::String& text) override { waiting = waiting || text.contains ("waiting for another run"); }
    } inner;

    BatchSettings innerSettings;
    innerSettings.operation = OperationRegistry::named ("replace string");
    innerSettings.parameters = ReplaceParameters { "two", "three" }.toParameters();
    innerSettings.directoryPath = path ("sub");
    innerSettings.files = { folder.file ("sub/b.xml"), folder.file ("sub/c.xml") };
    FormulaEngine otherEngine;
    BatchOutcome innerOutcome;
    std::thread innerRun;
    outer.afterFirstFile = [&] {
        innerRun = std::thread ([&] { innerOutcome = BatchRun (innerSettings, &otherEngine, inner).run(); });
        for (int wait = 0; wait < 500 && ! inner.waiting; ++wait)
            juce::Thread::sleep (10);
    };

    const auto outerOutcome = BatchRun (replaceSettings ("one", "two", true), &engine, outer).run();
    innerRun.join();

    EXPECT_TRUE (inner.waiting);
    EXPECT_EQ (outerOutcome.filesChanged, 3) << outerOutcome.log;
    EXPECT_EQ (innerOutcome.filesChanged, 2) << innerOutcome.log;
    EXPECT_EQ (folder.read ("sub/b.xml"), "three");
    EXPECT_EQ (folder.read ("sub/c.xml"), "three");
}
