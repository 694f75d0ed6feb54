#include "BackupComment.h"
#include "FileState.h"
#include "RestoreOperation.h"
#include "ZipArchiveWriter.h"
#include "support/BatchFixture.h"
#include "support/TestLinks.h"

using RestoreRun = BatchFixture;

TEST_F (RestoreRun, UndoesReplaceAndConvertAndCanItselfBeUndone)
{
    const std::vector<std::function<BatchSettings()>> edits = {
        [&] { return replaceSettings ("Pad", "Plate", true); },
        [&] { auto s = convertSettings ("gain", "x * 3"); s.recursive = true; s.files = listedFiles (true); return s; },
    };

    for (const auto& edit : edits)
    {
        folder.write ("a.xml", "<p name=\"Warm Pad\" gain=\"0.5\"/>\r\n");
        folder.write ("sub/b.xml", "<p gain='2'>Pad</p>");
        const auto original = folder.xmlContents();

        const auto edited = run (edit());
        ASSERT_EQ (edited.status, BatchOutcome::Status::completed) << edited.log;
        const auto afterEdit = folder.xmlContents();
        ASSERT_NE (afterEdit, original);

        const auto restored = run (restoreSettings (edited.backupFile));
        ASSERT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;
        EXPECT_EQ (folder.xmlContents(), original);
        EXPECT_TRUE (restored.log.contains ("restoring file: " + path ("sub/b.xml") + "...done. \n"));
        EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Restore finished" }));
        EXPECT_TRUE (alerts.alerts[0].message.contains (edited.backupFile.getFullPathName()));
        EXPECT_TRUE (alerts.alerts[0].message.contains (restored.backupFile.getFullPathName()));

        // The restore's own backup holds the edited state.
        run (restoreSettings (restored.backupFile));
        EXPECT_EQ (folder.xmlContents(), afterEdit);
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

TEST_F (RestoreRun, ADeletedFileComesBackWithItsFolders)
{
    folder.write ("sub/deep/a.xml", "<a/>");
    const auto edited = run (replaceSettings ("a", "b", true));
    folder.file ("sub").deleteRecursively();

    const auto restored = run (restoreSettings (edited.backupFile));
    EXPECT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;
    EXPECT_EQ (folder.read ("sub/deep/a.xml"), "<a/>");
}

TEST_F (RestoreRun, CraftedOrDamagedArchivesAreRefusedBeforeAnyChange)
{
    TestFolder outside;
    folder.write ("a.xml", "current");
    folder.write ("inner/b.xml", "current");
    const auto source = outside.write ("source.xml", "from the archive");

    std::vector<std::pair<juce::String, juce::String>> crafted {
        { "up.zip", "../x.xml" },
        { "absolute.zip", outside.file ("x.xml").getFullPathName() },
        { "updown.zip", "sub/../../x.xml" },
    };
    if (TestLinks::available)
    {
        outside.get().createSymbolicLink (folder.file ("linked"), false);
        outside.get().createSymbolicLink (folder.file ("inner/linked"), false);
        crafted.insert (crafted.end(), { { "throughlink.zip", "linked/x.xml" },
                                         { "deeplink.zip", "inner/linked/x.xml" }, // past a folder whose other entries are fine
                                         { "leaflink.zip", "inner/linked" } });
    }
    for (const auto& [archiveName, entryName] : crafted)
    {
        ZipArchiveWriter writer;
        writer.addEntry (folder.file ("a.xml"), "a.xml"); // a harmless entry first: nothing of it may be written either
        writer.addEntry (folder.file ("inner/b.xml"), "inner/b.xml");
        writer.addEntry (source, entryName);
        ASSERT_TRUE (writer.writeToFile (folder.file (archiveName)));
    }

    // A flipped data byte: the CRC no longer matches.
    {
        ZipArchiveWriter writer;
        writer.addEntry (source, "a.xml");
        ASSERT_TRUE (writer.writeToFile (folder.file ("flipped.zip")));
        auto bytes = folder.read ("flipped.zip");
        bytes[bytes.find ("from the archive")] ^= 0x20;
        folder.write ("flipped.zip", bytes);
    }

    crafted.push_back ({ "flipped.zip", "a.xml" });
    for (const auto& [archiveName, entryName] : crafted)
    {
        const auto outcome = run (restoreSettings (folder.file (archiveName)));
        EXPECT_EQ (outcome.status, BatchOutcome::Status::refused) << archiveName;
        ASSERT_EQ (alerts.titles(), juce::StringArray ({ "Cannot restore" })) << archiveName;
        EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
        EXPECT_TRUE (alerts.alerts[0].message.contains (archiveName == "flipped.zip" ? "\"a.xml\" is damaged" : "the entry"))
            << alerts.alerts[0].message;
        EXPECT_EQ (folder.read ("a.xml"), "current") << archiveName;
    }
    EXPECT_FALSE (outside.file ("x.xml").exists());
    EXPECT_FALSE (folder.privateParent().getChildFile ("x.xml").exists());
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
}

TEST_F (RestoreRun, AMissingBackupIsRefusedByNameAndNoNameWithoutAStrayBlank)
{
    for (const auto& [archive, expected] : { std::pair { folder.file ("gone.zip"), "Nothing was changed: there is no backup " + path ("gone.zip") + "." },
                                             std::pair { juce::File(), juce::String ("Nothing was changed: there is no backup.") } })
    {
        alerts.alerts.clear();
        EXPECT_EQ (run (restoreSettings (archive)).status, BatchOutcome::Status::refused);
        ASSERT_EQ (alerts.alerts.size(), 1u);
        EXPECT_EQ (alerts.alerts[0].message, expected);
    }
}

TEST_F (RestoreRun, EachBackupSaysWhichRunItWasMadeBeforeAndTheRestoreSaysWhatItUndoes)
{
    folder.write ("a.xml", "<a value=\"2\"/>");
    folder.write ("b.xml", "<b value=\"3\"/>");
    const auto converted = run (convertSettings ("value", "x * 2"));
    ASSERT_EQ (converted.status, BatchOutcome::Status::completed) << converted.log;
    const auto restored = run (restoreSettings (converted.backupFile));
    ASSERT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;

    // Newest first, each with the operation from its comment and its count.
    const auto backups = BackupArchive::listIn (folder.get());
    ASSERT_EQ (backups.size(), 2u);
    EXPECT_EQ (backups[0].file, restored.backupFile);
    EXPECT_EQ (backups[1].file, converted.backupFile);
    EXPECT_EQ (BackupComment::operationOf (backups[1].comment), "Convert value of attributes with name: 'value'");
    EXPECT_EQ (BackupComment::operationOf (backups[0].comment),
               "Restore files from backup: '" + converted.backupFile.getFileName() + "'");
    for (const auto& backup : backups)
    {
        EXPECT_EQ (backup.files, 2);
        EXPECT_TRUE (BackupComment::choiceText (backup).contains (", 2 files, " + BackupComment::operationOf (backup.comment) + ")"));
        EXPECT_TRUE (backup.comment.contains ("in xml-files in folder: " + folder.get().getFullPathName()));
    }

    // Restoring the restore's backup names the restore, and through it the convert.
    RestoreOperation undo (restoreSettings (restored.backupFile));
    ASSERT_FALSE (undo.prepare().isRefused());
    const auto task = undo.describeTask();
    EXPECT_TRUE (task.contains ("which undoes the run of " + BackupComment::madeAtOf (backups[0].comment) + ":\n"
                                + "    Restore files from backup: '" + converted.backupFile.getFileName() + "' \n"))
        << task;
    EXPECT_TRUE (task.contains ("Convert value of attributes with name: 'value'")) << task;

    // An archive from elsewhere lists with its time and count only.
    ZipArchiveWriter writer;
    writer.addEntry (folder.file ("a.xml"), "a.xml");
    const auto foreign = folder.file ("QuillmereBackup(9).zip");
    ASSERT_TRUE (writer.writeToFile (foreign));
    const auto all = BackupArchive::listIn (folder.get());
    const auto entry = std::find_if (all.begin(), all.end(), [&] (const auto& s) { return s.file == foreign; });
    ASSERT_NE (entry, all.end());
    EXPECT_EQ (BackupComment::choiceText (*entry),
               foreign.getFileName() + "  (" + entry->modified.formatted ("%Y-%m-%d %H:%M:%S") + ", 1 file)");
}

// A restore writes back every file whose bytes differ from its entry, and
// only those, whether their sizes and CRCs told it or it had to compare.
TEST_F (RestoreRun, WritesBackExactlyTheFilesThatDifferFromTheirEntries)
{
    const struct
    {
        std::string archived, current;
    } cases[] = {
        { "<a v=\"1\"/>", "<a v=\"1\"/>" }, // equal: left as it is
        { "<a v=\"1\"/>", "<a v=\"2\"/>" }, // same size, other bytes
        { "", "<a/>" },                     // an empty entry
        { "<a/>", "" },
        { "<a v=\"1\"/>", "<a/>" },
    };

    ZipArchiveWriter writer;
    for (size_t i = 0; i < std::size (cases); ++i)
    {
        const auto name = "f" + juce::String ((int) i) + ".xml";
        writer.addEntry (folder.write (name, cases[i].archived), name);
    }
    const auto archive = folder.file ("old.zip");
    ASSERT_TRUE (writer.writeToFile (archive)) << writer.getLastError();

    std::vector<unsigned long long> inodes;
    for (size_t i = 0; i < std::size (cases); ++i)
    {
        const auto name = "f" + juce::String ((int) i) + ".xml";
        folder.write (name, cases[i].current);
        const auto before = FileState::of (folder.file (name));
        ASSERT_TRUE (before.exists()) << name;
        inodes.push_back (before.inode);
    }

    const auto outcome = run (restoreSettings (archive));
    ASSERT_EQ (outcome.status, BatchOutcome::Status::completed) << outcome.log;
    for (size_t i = 0; i < std::size (cases); ++i)
    {
        const auto name = "f" + juce::String ((int) i) + ".xml";
        EXPECT_EQ (folder.read (name), cases[i].archived) << name;
        EXPECT_EQ (FileState::of (folder.file (name)).inode == inodes[i], cases[i].archived == cases[i].current) << name;
    }
}
