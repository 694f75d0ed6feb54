// What the Windows folder layer promises and Wine can show: names opened
// relative to a handle, device names and long paths, identity and hard
// links, and a file another program holds open.
#include "FolderAccess.h"
#include "support/TestFolder.h"
#include "windows/PrivateSecurity.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <vector>

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

    std::wstring textOf (PSID sid)
    {
        wchar_t* text = nullptr;
        if (! ConvertSidToStringSidW (sid, &text))
            return {};
        const std::wstring result (text);
        LocalFree (text);
        return result;
    }

    std::wstring processUser()
    {
        HANDLE token = nullptr;
        if (! OpenProcessToken (GetCurrentProcess(), TOKEN_QUERY, &token))
            return {};
        DWORD size = 0;
        GetTokenInformation (token, TokenUser, nullptr, 0, &size);
        std::vector<char> buffer (size);
        const bool known = GetTokenInformation (token, TokenUser, buffer.data(), size, &size) != 0;
        CloseHandle (token);
        return known ? textOf (reinterpret_cast<TOKEN_USER*> (buffer.data())->User.Sid) : std::wstring();
    }
}

// Wine keeps a file's security as mode bits alone, so what makes a backup
// private is tested as the descriptor it is created with: a list that
// lets in the user and the system with full access and no one else, that
// nothing below inherits, protected from the entries the folder passes on.
TEST (WindowsFolderAccess, ABackupIsMadeForItsUserAndTheSystemAlone)
{
    const PrivateSecurity security;
    ASSERT_NE (security.get(), nullptr);

    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE (GetSecurityDescriptorControl (security.get(), &control, &revision));
    EXPECT_NE (control & SE_DACL_PROTECTED, 0) << "the folder's inheritable entries would be added";

    BOOL present = FALSE, defaulted = TRUE;
    PACL list = nullptr;
    ASSERT_TRUE (GetSecurityDescriptorDacl (security.get(), &present, &list, &defaulted));
    ASSERT_TRUE (present && list != nullptr) << "no list, or a null one, lets everyone in";
    EXPECT_FALSE (defaulted);

    std::vector<std::wstring> allowed;
    for (DWORD i = 0; i < list->AceCount; ++i)
    {
        void* entry = nullptr;
        ASSERT_TRUE (GetAce (list, i, &entry));
        const auto* header = static_cast<const ACE_HEADER*> (entry);
        ASSERT_EQ (header->AceType, ACCESS_ALLOWED_ACE_TYPE) << i;
        EXPECT_EQ (header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERITED_ACE), 0) << i;
        const auto* allow = static_cast<const ACCESS_ALLOWED_ACE*> (entry);
        EXPECT_EQ (allow->Mask, (ACCESS_MASK) FILE_ALL_ACCESS) << i;
        allowed.push_back (textOf ((PSID) &allow->SidStart));
    }
    const auto user = processUser();
    ASSERT_FALSE (user.empty());
    std::vector<std::wstring> expected { user, L"S-1-5-18" }; // LocalSystem
    std::sort (allowed.begin(), allowed.end());
    std::sort (expected.begin(), expected.end());
    EXPECT_TRUE (allowed == expected) << juce::String (user.c_str());
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
