#include "FilePattern.h"
#include "filelist/XmlFileManager.h"
#include "support/TestLinks.h"

#include <gtest/gtest.h>

TEST (FileManager, StartsInTheProgramFolderWithEveryFile)
{
    FileManager manager;
    EXPECT_EQ (manager.getCurrentDirectoryPath(), getApplicationDirectory().getFullPathName());
    EXPECT_EQ (manager.wildcardPattern, "*");
    EXPECT_FALSE (manager.searchRecursively);
    EXPECT_GT (manager.numFiles, 0); // at least this test program itself
}

TEST (FileManager, EmptyFolderGivesEmptyList)
{
    TestFolder folder;
    XmlFileManager manager (folder);
    EXPECT_EQ (manager.numFiles, 0);
    EXPECT_EQ (manager.files.size(), 0);
    EXPECT_EQ (manager.getFileListText ("\n"), "");
}

TEST (FileManager, FiltersIgnoringCaseAndSortsByNameCaseSensitively)
{
    TestFolder folder;
    for (auto name : { "b.xml", "A.xml", "notes.txt", "DATA.XML", "c.Xml", "data.xml.bak", ".hidden.xml" })
        folder.write (name, "<a/>");
    folder.file ("x.xml").createDirectory();

    XmlFileManager manager (folder);

    // Code-unit order: '.' < 'A' < 'D' < 'b' < 'c'; the folder x.xml and data.xml.bak are refused.
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ ".hidden.xml", "A.xml", "DATA.XML", "b.xml", "c.Xml" }));
    EXPECT_EQ (manager.numFiles, 5);
}

TEST (FileManager, ListTextIsFullPathsEachFollowedBySeparator)
{
    TestFolder folder;
    folder.write ("b.xml", "");
    folder.write ("A.xml", "");
    XmlFileManager manager (folder);

    EXPECT_EQ (manager.getFileListText ("|"), folder.file ("A.xml").getFullPathName() + "|"
                                                  + folder.file ("b.xml").getFullPathName() + "|");
}

TEST (FileManager, RecursionFindsSubfolderFilesAndDropsThemAgain)
{
    TestFolder folder;
    folder.write ("b.xml", "");
    folder.write ("z/a.xml", "");
    folder.write ("z/deeper/c.xml", "");
    folder.write ("y/a.xml", "");

    XmlFileManager manager (folder, true);
    EXPECT_EQ (manager.numFiles, 4);
    const auto names = listedNames (manager);
    // Ordered by file name alone: both a.xml (in no defined order), then b.xml, then c.xml.
    EXPECT_EQ (names, juce::StringArray ({ "a.xml", "a.xml", "b.xml", "c.xml" }));
    EXPECT_EQ (manager.files[2]->getFullPathName(), folder.file ("b.xml").getFullPathName());

    manager.searchRecursively = false;
    manager.rescan();
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ "b.xml" }));
}

TEST (FileManager, MissingFolderKeepsThePreviousList)
{
    TestFolder folder;
    folder.write ("a.xml", "");
    XmlFileManager manager (folder);
    ASSERT_EQ (manager.numFiles, 1);

    manager.currentDirectory = folder.file ("does-not-exist").getFullPathName();
    manager.rescan();
    EXPECT_EQ (manager.numFiles, 1);
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ "a.xml" }));

    manager.currentDirectory = folder.file ("a.xml").getFullPathName(); // a file, not a folder
    manager.rescan();
    EXPECT_EQ (manager.numFiles, 1);
}

TEST (FileManager, SymlinkLoopDoesNotHangTheRecursiveScan)
{
    if (! TestLinks::available)
        GTEST_SKIP() << TestLinks::whyNot;
    TestFolder folder;
    folder.write ("sub/a.xml", "");
    ASSERT_TRUE (folder.get().createSymbolicLink (folder.file ("sub/loop"), true));

    XmlFileManager manager (folder, true);
    EXPECT_GE (manager.numFiles, 1);
    EXPECT_LE (manager.numFiles, 2);
}

TEST (FileManager, SeveralPatternsSeparatedBySemicolonOrComma)
{
    TestFolder folder;
    for (auto name : { "a.xml", "b.txt", "c.json", "d.bin" })
        folder.write (name, "");
    XmlFileManager manager (folder);
    manager.wildcardPattern = "*.xml;*.TXT,*.json";
    manager.rescan();
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ "a.xml", "b.txt", "c.json" }));
}

TEST (FilePattern, TakesNamesByIncludesLessExcludesAndNeverItsOwnFiles)
{
    struct Case
    {
        const char* pattern;
        const char* name;
        bool taken;
    };
    const Case cases[] = {
        { "*.xml", "a.xml", true },
        { "*.xml", "A.XML", true }, // letter case ignored
        { "*.xml", "a.xiz", false },
        { "*.xiz; *.xmz", "bank.XMZ", true },
        { " *.xiz ;; ", "bank.xiz", true }, // blanks and empty parts do not count
        { "*.xml; !draft*", "draft1.xml", false },
        { "*.xml; !draft*", "final.xml", true },
        { "!*.bak", "a.h2song", true }, // exclusions alone take everything else
        { "!*.bak", "a.bak", false },
        { "", "a.xml", false },
        { "*", "QuillmereBackup(3).zip", false },
        { "*", "QuillmereLog.txt", false },
        { "*", ".quillmere-1234.tmp", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (FilePattern (c.pattern).matches (c.name), c.taken) << c.pattern << " / " << c.name;

    EXPECT_EQ (FilePattern::combine ({ "*.xiz;*.xmz" }, { "old*", "!tmp*" }), "*.xiz; *.xmz; !old*; !tmp*");
    EXPECT_EQ (FilePattern::combine ({}, {}), "*.xml");
    EXPECT_TRUE (FilePattern (" *.xml ").isDefault());
}

// UTF-16 code units, not code points: a name past U+FFFF (a surrogate pair,
// D83D...) sorts before one at U+FF21, which code points would put first.
TEST (FileManager, SortsByUtf16CodeUnits)
{
    TestFolder folder;
    const auto emoji = juce::String::fromUTF8 ("\xF0\x9F\x98\x80.xml"), fullWidthA = juce::String::fromUTF8 ("\xEF\xBC\xA1.xml"),
               eAcute = juce::String::fromUTF8 ("\xC3\xA9.xml");
    for (const auto& name : { fullWidthA, emoji, eAcute, juce::String ("z.xml") })
        folder.write (name, "<a/>");

    XmlFileManager manager (folder);
    juce::StringArray expected;
    expected.addArray ({ juce::String ("z.xml"), eAcute, emoji, fullWidthA });
    EXPECT_EQ (listedNames (manager), expected);
}
