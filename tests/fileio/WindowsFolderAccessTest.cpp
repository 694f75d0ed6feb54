// What the Windows folder layer promises and Wine can show: names opened
// relative to a handle, device names and long paths, identity and hard
// links, and a file another program holds open.
#include "FolderAccess.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace
{
    FolderAccess::WriteOptions options()
    {
        FolderAccess::WriteOptions given;
        given.createFolders = true;
        return given;
    }

    std::wstring wide (const juce::File& file)
    {
        return file.getFullPathName().toWideCharPointer();
    }
}

TEST (WindowsFolderAccess, NamesWindowsTreatsSpeciallyAreRefusedWithALine)
{
    TestFolder folder;
    const FolderAccess access (folder.get());
    for (const auto* name : { "CON", "nul.xml", "sub/COM1.xml", "a.xml.", "a.xml ", "a.xml:hidden", "../a.xml" })
    {
        const auto written = access.replaceContents (name, nullptr, "x", 1, options());
        EXPECT_TRUE (written.failed()) << name;
        EXPECT_FALSE (access.stateOf (name).kind == FileState::Kind::regular) << name;
    }
    EXPECT_FALSE (folder.file ("a.xml").exists());
}

TEST (WindowsFolderAccess, PathsPastTwoHundredSixtyCharactersWork)
{
    TestFolder folder;
    const FolderAccess access (folder.get());
    std::string deep;
    for (int i = 0; i < 6; ++i)
        deep += std::string (60, (char) ('a' + i)) + "/";
    deep += "deep.xml";

    ASSERT_TRUE (access.replaceContents (deep, nullptr, "<a/>", 4, options()).wasOk());
    std::string bytes;
    EXPECT_TRUE (access.read (deep, nullptr, bytes).wasOk());
    EXPECT_EQ (bytes, "<a/>");
    EXPECT_EQ (access.stateOf (deep).kind, FileState::Kind::regular);
}

// A file's identity is its volume and file ID: a hard link is the same
// file, and after a replace the other name is linked to the new version again.
TEST (WindowsFolderAccess, HardLinksAreOneFileAndStayLinked)
{
    TestFolder folder;
    folder.write ("a.xml", "old");
    ASSERT_TRUE (CreateHardLinkW (wide (folder.file ("b.xml")).c_str(), wide (folder.file ("a.xml")).c_str(), nullptr));
    const FolderAccess access (folder.get());
    const auto a = access.stateOf ("a.xml"), b = access.stateOf ("b.xml");
    EXPECT_TRUE (a.isSameFileAs (b));
    EXPECT_EQ (a.links, 2u);

    ASSERT_TRUE (access.replaceContents ("a.xml", &a, "new", 3, {}).wasOk());
    EXPECT_FALSE (access.stateOf ("a.xml").isSameFileAs (b));
    ASSERT_TRUE (access.linkAgain ("a.xml", "b.xml", b).wasOk());
    EXPECT_EQ (folder.read ("b.xml"), "new");
    EXPECT_TRUE (access.stateOf ("a.xml").isSameFileAs (access.stateOf ("b.xml")));
}

// A file another program holds open without sharing is tried again for a
// moment, then left whole with a line; once let go, it is replaced.
TEST (WindowsFolderAccess, AFileHeldOpenByAnotherProgramFailsWholeThenWorks)
{
    TestFolder folder;
    folder.write ("a.xml", "old");
    const FolderAccess access (folder.get());
    const auto state = access.stateOf ("a.xml");
    {
        const HANDLE held = CreateFileW (wide (folder.file ("a.xml")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE (held, INVALID_HANDLE_VALUE);
        const auto written = access.replaceContents ("a.xml", &state, "new", 3, {});
        CloseHandle (held);
        ASSERT_TRUE (written.failed());
        EXPECT_TRUE (written.getErrorMessage().contains ("in use by another program")) << written.getErrorMessage();
        EXPECT_EQ (folder.read ("a.xml"), "old");
    }
    EXPECT_TRUE (access.replaceContents ("a.xml", &state, "new", 3, {}).wasOk());
    EXPECT_EQ (folder.read ("a.xml"), "new");
    // No temporary file stays behind either way.
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFiles), 1);
}
