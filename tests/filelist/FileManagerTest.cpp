#include "FileManager.h"
#include "FilePattern.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    juce::StringArray listedNames (const FileManager& manager)
    {
        juce::StringArray names;
        for (const auto* file : manager.files)
            names.add (file->getFileName());
        return names;
    }

    struct XmlFileManager : FileManager
    {
        explicit XmlFileManager (const TestFolder& folder, bool recursive = false)
        {
            currentDirectory = folder.path();
            wildcardPattern = "*.xml";
            searchRecursively = recursive;
            rescan();
        }
    };
}

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

TEST (FileManager, NamedPipesAreNotListed)
{
    TestFolder folder;
    folder.write ("a.xml", "");
    ASSERT_EQ (mkfifo (folder.file ("pipe.xml").getFullPathName().toRawUTF8(), 0600), 0);

    XmlFileManager manager (folder);
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ "a.xml" }));
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

// A file deeper than the system's limit on path names is listed all the
// same; a folder that cannot be read gets a line instead of silence.
TEST (FileManager, ReachesPathsLongerThanTheSystemLimitAndNamesWhatItCannotList)
{
    TestFolder folder;
    int current = ::open (folder.path().toRawUTF8(), O_RDONLY | O_DIRECTORY);
    const std::string part (230, 'd');
    for (int depth = 0; depth < 20; ++depth)
    {
        ASSERT_EQ (::mkdirat (current, part.c_str(), 0755), 0);
        const int next = ::openat (current, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close (current);
        current = next;
    }
    const int file = ::openat (current, "deep.xml", O_WRONLY | O_CREAT, 0644);
    ::close (file);
    ::close (current);
    folder.write ("closed/a.xml", "");
    ::chmod (folder.file ("closed").getFullPathName().toRawUTF8(), 0);

    // As root every folder can be read: the listing is then made as nobody.
    const auto listsAsItShould = [&] {
        XmlFileManager manager (folder, true);
        return listedNames (manager) == juce::StringArray ({ "deep.xml" })
            && manager.files[0]->getFullPathName().getNumBytesAsUTF8() > 4448
            && manager.unlisted == juce::StringArray ({ "cannot list the folder " + folder.file ("closed").getFullPathName() + " (Permission denied)" });
    };
    if (::geteuid() != 0)
    {
        EXPECT_TRUE (listsAsItShould());
    }
    else
    {
        const auto child = ::fork();
        if (child == 0)
            ::_exit (::setresgid (65534, 65534, 65534) == 0 && ::setresuid (65534, 65534, 65534) == 0 && listsAsItShould() ? 0 : 1);
        int status = -1;
        ::waitpid (child, &status, 0);
        EXPECT_EQ (status, 0);
    }

    // TestFolder removes its folder by name, which cannot reach that deep.
    ::chmod (folder.file ("closed").getFullPathName().toRawUTF8(), 0755);
    std::system (("rm -rf '" + folder.path() + "/" + juce::String (part) + "'").toRawUTF8());
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
