#include "FolderAccess.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    /** A folder with a.xml and sub/b.xml, and an outside folder with the
        same names, which nothing done in the folder may reach. */
    struct Folders
    {
        TestFolder inside, outside;
        Folders()
        {
            for (const auto* folder : { &inside, &outside })
            {
                folder->write ("a.xml", "inside a");
                folder->write ("sub/b.xml", "inside b");
            }
            outside.write ("a.xml", "outside a");
            outside.write ("sub/b.xml", "outside b");
        }
    };

    void swapForLink (const juce::File& name, const juce::File& target)
    {
        name.deleteRecursively();
        ASSERT_TRUE (target.createSymbolicLink (name, true));
    }
}

// Whatever takes a planned name's place (a link to the outside on the name
// or on its way, another file, a folder), neither reading nor writing goes
// there, and the failure says what happened.
TEST (FolderAccess, NeverLeavesTheFolderAndSaysWhatChanged)
{
    struct Row
    {
        const char* relative;
        std::function<void (Folders&)> change;
        const char* says;
    };
    const Row rows[] = {
        { "a.xml", [] (Folders& f) { swapForLink (f.inside.file ("a.xml"), f.outside.file ("a.xml")); }, "changed into a link since it was listed" },
        { "sub/b.xml", [] (Folders& f) { swapForLink (f.inside.file ("sub"), f.outside.file ("sub")); }, "the folder sub on its way is a link" },
        { "a.xml", [] (Folders& f) { f.inside.write ("new.xml", "new").moveFileTo (f.inside.file ("a.xml")); }, "replaced by another file since it was listed" },
        { "a.xml", [] (Folders& f) { f.inside.file ("a.xml").deleteFile(); f.inside.file ("a.xml").createDirectory(); }, "it is a folder" },
        { "sub/../a.xml", [] (Folders&) {}, "is not a plain path below the folder" },
    };

    for (const auto& row : rows)
    {
        Folders folders;
        const FolderAccess access (folders.inside.get());
        const auto planned = access.stateOf ("a.xml").kind == FileState::Kind::regular && juce::String (row.relative) == "a.xml"
                               ? access.stateOf ("a.xml")
                               : access.stateOf ("sub/b.xml");
        row.change (folders);

        std::string bytes;
        const auto read = access.read (row.relative, &planned, bytes);
        const auto written = access.replaceContents (row.relative, &planned, "edited", 6, {});
        EXPECT_TRUE (read.getErrorMessage().contains (row.says)) << row.relative << ": " << read.getErrorMessage();
        EXPECT_TRUE (written.getErrorMessage().contains (row.says)) << row.relative << ": " << written.getErrorMessage();
        EXPECT_EQ (folders.outside.read ("a.xml"), "outside a");
        EXPECT_EQ (folders.outside.read ("sub/b.xml"), "outside b");
        EXPECT_TRUE (folders.inside.get().findChildFiles (juce::File::findFiles, true, ".quillmere-*").isEmpty());
    }
}

// A file planned as missing is created with its folders; one that appeared
// meanwhile is never replaced. A replaced file keeps its permissions, and a
// read-only one is refused.
TEST (FolderAccess, CreatesOnlyWhatIsMissingAndKeepsPermissions)
{
    TestFolder folder;
    const FolderAccess access (folder.get());
    const FileState missing;
    FolderAccess::WriteOptions creating;
    creating.createFolders = true;
    creating.permissions = 0600;
    creating.exactPermissions = true;

    ASSERT_TRUE (access.replaceContents ("new/deep/c.xml", &missing, "c", 1, creating).wasOk());
    EXPECT_EQ (folder.read ("new/deep/c.xml"), "c");
    EXPECT_EQ (access.stateOf ("new/deep/c.xml").mode, 0600u);
    EXPECT_TRUE (access.replaceContents ("new/deep/c.xml", &missing, "again", 5, creating).getErrorMessage().contains ("took its place"));

    ::chmod (folder.file ("new/deep/c.xml").getFullPathName().toRawUTF8(), 0640);
    const auto planned = access.stateOf ("new/deep/c.xml");
    ASSERT_TRUE (access.replaceContents ("new/deep/c.xml", &planned, "cc", 2, {}).wasOk());
    EXPECT_EQ (folder.read ("new/deep/c.xml"), "cc");
    EXPECT_EQ (access.stateOf ("new/deep/c.xml").mode, 0640u);

    ::chmod (folder.file ("new/deep/c.xml").getFullPathName().toRawUTF8(), 0444);
    EXPECT_EQ (access.replaceContents ("new/deep/c.xml", nullptr, "x", 1, {}).getErrorMessage(), "the file is read-only");
    EXPECT_EQ (folder.read ("new/deep/c.xml"), "cc");
}

// In a setgid folder of another group a new file takes that group; a new
// version must still have the file's own, or that group could read it.
TEST (FolderAccess, ANewVersionInASetgidFolderKeepsTheFilesGroup)
{
    gid_t groups[64];
    const int count = ::getgroups (64, groups);
    gid_t other = ::geteuid() == 0 ? 65534 : ::getegid();
    for (int i = 0; i < count && other == ::getegid(); ++i)
        other = groups[i];
    if (other == ::getegid())
        GTEST_SKIP() << "this user belongs to no second group to give the folder";

    // The folder worked on itself, and a folder below it.
    for (const auto& [setgidFolder, relative] : { std::pair { "", "a.xml" }, std::pair { "sub", "sub/a.xml" } })
    {
        TestFolder folder;
        folder.write (relative, "old");
        const auto path = [&] (const char* name) { return folder.file (name).getFullPathName().toStdString(); };
        ::chmod (path (relative).c_str(), 0640);
        ASSERT_EQ (::chown (path (setgidFolder).c_str(), (uid_t) -1, other), 0);
        ASSERT_EQ (::chmod (path (setgidFolder).c_str(), 02770), 0);

        const FolderAccess access (folder.get());
        const auto planned = access.stateOf (relative);
        ASSERT_TRUE (access.replaceContents (relative, &planned, "new", 3, {}).wasOk());
        const auto written = access.stateOf (relative);
        EXPECT_EQ (written.group, planned.group) << relative;
        EXPECT_EQ (written.mode, 0640u) << relative;
        EXPECT_EQ (folder.read (relative), "new");
    }
}

// Another name of the same file is linked to the new version, so the two
// names stay one file.
TEST (FolderAccess, LinksAHardLinkAgainAfterAReplace)
{
    TestFolder folder;
    folder.write ("a.xml", "old");
    ASSERT_EQ (::link (folder.file ("a.xml").getFullPathName().toRawUTF8(), folder.file ("b.xml").getFullPathName().toRawUTF8()), 0);
    const FolderAccess access (folder.get());
    const auto a = access.stateOf ("a.xml"), b = access.stateOf ("b.xml");
    ASSERT_TRUE (a.isSameFileAs (b));

    ASSERT_TRUE (access.replaceContents ("a.xml", &a, "new", 3, {}).wasOk());
    ASSERT_TRUE (access.linkAgain ("a.xml", "b.xml", b).wasOk());
    EXPECT_EQ (folder.read ("b.xml"), "new");
    EXPECT_TRUE (access.stateOf ("a.xml").isSameFileAs (access.stateOf ("b.xml")));
    EXPECT_FALSE (access.stateOf ("a.xml").isSameFileAs (a));
}

// A new version written from what was read takes the name only while the
// file is exactly as it was read: a write or a chmod by someone else since
// is never overwritten. One that is unchanged gets its mode exactly, under
// any creation mask (made with it, or given it afterwards).
TEST (FolderAccess, WritesFromAReadOnlyWhileTheFileIsAsRead)
{
    struct Row
    {
        const char* what;
        std::function<void (const juce::File&)> change;
        mode_t creationMask;
        bool written;
        unsigned modeAfter;
    };
    const Row rows[] = {
        { "unchanged", [] (const juce::File&) {}, 022, true, 0640 },
        { "unchanged, strict mask", [] (const juce::File&) {}, 077, true, 0640 },
        { "appended to", [] (const juce::File& f) { f.appendText ("more"); }, 022, false, 0640 },
        { "re-permitted", [] (const juce::File& f) { ::chmod (f.getFullPathName().toRawUTF8(), 0600); }, 022, false, 0600 },
    };

    for (const auto& row : rows)
    {
        TestFolder folder;
        const auto file = folder.write ("a.xml", "read");
        ::chmod (file.getFullPathName().toRawUTF8(), 0640);
        const auto previousMask = ::umask (row.creationMask);
        const FolderAccess access (folder.get());
        const auto planned = access.stateOf ("a.xml");

        std::string bytes;
        FileState readAs;
        ASSERT_TRUE (access.read ("a.xml", &planned, bytes, &readAs).wasOk()) << row.what;
        row.change (file);
        const auto expected = file.loadFileAsString();

        FolderAccess::WriteOptions options;
        options.readAs = &readAs;
        const auto result = access.replaceContents ("a.xml", &planned, "edited", 6, options);
        ::umask (previousMask);

        EXPECT_EQ (result.wasOk(), row.written) << row.what << ": " << result.getErrorMessage();
        EXPECT_EQ (file.loadFileAsString(), row.written ? juce::String ("edited") : expected) << row.what;
        EXPECT_EQ (access.stateOf ("a.xml").mode, row.modeAfter) << row.what;
        EXPECT_TRUE (folder.get().findChildFiles (juce::File::findFiles, true, ".quillmere-*").isEmpty()) << row.what;
    }
}
