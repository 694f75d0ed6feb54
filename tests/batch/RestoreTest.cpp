#include "ZipArchiveWriter.h"
#include "support/BatchFixture.h"

#include <sys/stat.h>

using RestoreRun = BatchFixture;

namespace
{
    std::map<juce::String, std::string> contentsOf (const TestFolder& folder)
    {
        std::map<juce::String, std::string> contents;
        for (const auto& file : folder.get().findChildFiles (juce::File::findFiles, true, "*.xml"))
            contents[file.getRelativePathFrom (folder.get())] = TestFolder::readBytes (file);
        return contents;
    }
}

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
        const auto original = contentsOf (folder);

        const auto edited = run (edit());
        ASSERT_EQ (edited.status, BatchOutcome::Status::completed) << edited.log;
        const auto afterEdit = contentsOf (folder);
        ASSERT_NE (afterEdit, original);

        const auto restored = run (restoreSettings (edited.backupFile));
        ASSERT_EQ (restored.status, BatchOutcome::Status::completed) << restored.log;
        EXPECT_EQ (contentsOf (folder), original);
        EXPECT_TRUE (restored.log.contains ("restoring file: " + path ("sub/b.xml") + "...done. \n"));
        EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Restore finished" }));
        EXPECT_TRUE (alerts.alerts[0].message.contains (edited.backupFile.getFullPathName()));
        EXPECT_TRUE (alerts.alerts[0].message.contains (restored.backupFile.getFullPathName()));

        // The restore's own backup holds the edited state.
        run (restoreSettings (restored.backupFile));
        EXPECT_EQ (contentsOf (folder), afterEdit);
        folder.get().deleteRecursively();
        folder.get().createDirectory();
    }
}

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

TEST_F (RestoreRun, CraftedOrDamagedArchivesAreRefusedBeforeAnyChange)
{
    TestFolder outside;
    outside.get().createSymbolicLink (folder.file ("linked"), false);
    folder.write ("a.xml", "current");
    folder.write ("inner/b.xml", "current");
    outside.get().createSymbolicLink (folder.file ("inner/linked"), false);
    const auto source = outside.write ("source.xml", "from the archive");

    const std::pair<const char*, juce::String> crafted[] = {
        { "up.zip", "../x.xml" },
        { "absolute.zip", outside.file ("x.xml").getFullPathName() },
        { "updown.zip", "sub/../../x.xml" },
        { "throughlink.zip", "linked/x.xml" },
        { "deeplink.zip", "inner/linked/x.xml" }, // past a folder whose other entries are fine
        { "leaflink.zip", "inner/linked" },
    };
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

    for (const auto* archiveName : { "up.zip", "absolute.zip", "updown.zip", "throughlink.zip", "deeplink.zip", "leaflink.zip", "flipped.zip" })
    {
        const auto outcome = run (restoreSettings (folder.file (archiveName)));
        EXPECT_EQ (outcome.status, BatchOutcome::Status::refused) << archiveName;
        ASSERT_EQ (alerts.titles(), juce::StringArray ({ "Cannot restore" })) << archiveName;
        EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
        EXPECT_TRUE (alerts.alerts[0].message.contains (juce::String (archiveName) == "flipped.zip" ? "\"a.xml\" is damaged" : "the entry"))
            << alerts.alerts[0].message;
        EXPECT_EQ (folder.read ("a.xml"), "current") << archiveName;
    }
    EXPECT_FALSE (outside.file ("x.xml").exists());
    EXPECT_FALSE (folder.privateParent().getChildFile ("x.xml").exists());
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
}

TEST_F (RestoreRun, AnArchiveOfZipWithDeflatedEntriesIsRestored)
{
    folder.write ("a.xml", std::string (5000, 'a'));
    folder.write ("sub/b.xml", "<b>" + std::string (3000, 'b') + "</b>");
    const auto original = contentsOf (folder);

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
    EXPECT_EQ (contentsOf (folder), original);
}
