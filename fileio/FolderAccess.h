#pragma once

#include "FileDescriptor.h"
#include "FileState.h"
#include "RegularFileInputStream.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/**
    One folder, opened once, and every file beneath it reached from that
    descriptor without following a single link: openat2() with
    RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS where the kernel has it, else a walk
    of openat(O_NOFOLLOW) per folder. A name that was swapped for a link, or
    a folder on its way that was, is never followed out of the folder.

    Paths are relative to the folder, '/'-separated, as bytes ("sub/a.xml");
    "." and ".." parts and absolute paths are refused.

    Every operation can be given the state a file had when it was planned.
    The file must then still be that file (same device and inode); a file
    planned as missing must still be missing when it is created. The
    failures say what changed ("changed into a link since it was listed:
    not changed"). Without an expected state, whatever regular file has the
    name is used.

    The object is immutable once open: its operations may run on several
    threads at once.
*/
class FolderAccess
{
public:
    /** Opens folder; links on the way to it are followed, since the user named it. */
    explicit FolderAccess (const juce::File& folder);

    const juce::Result& getOpenResult() const { return opened; }
    const juce::File& getFolder() const { return folder; }
    FileDescriptor::Native getDescriptor() const { return descriptor.get(); }

    /** The bytes free for this user on the disk that holds folder; the
        largest number when it cannot be told. */
    static juce::uint64 freeSpaceIn (const juce::File& folder);

    /** Writes everything changed on the folder's file system to the disk. */
    juce::Result syncFileSystem() const;

    /** The path of file below folder by name ("sub/a.xml"), or empty when
        the name does not lie below it. */
    static std::string relativePathOf (const juce::File& file, const juce::File& folder);

    /** The name as it shows in lines: the folder's path and the relative path, escaped. */
    juce::String describe (const std::string& relative) const;

    /** What lies at relative, reached without following links: missing when
        nothing is there (or a folder on the way is missing), link when the
        last part, or any folder on the way, is a link or not a folder. */
    FileState stateOf (const std::string& relative) const;

    /** The state of every folder on the way to relative, from the first
        below this folder to the file's own folder; false when one cannot be
        reached. */
    bool foldersOnTheWay (const std::string& relative, std::vector<FileState>& folders) const;

    /** Whether a part of relative is a symbolic link, looked at from this
        folder's descriptor part by part, so a path of any length is walked;
        the walk ends at the first part that is missing or not a folder. True
        when a folder on the way cannot be opened. */
    bool linkOnTheWay (const std::string& relative) const;

    /** Whether the file at relative, or a folder on the way to it below
        this folder, has an access list beyond its permission bits (which may
        keep someone out whom the bits let in); true when one cannot be
        looked at. */
    bool accessListOnTheWay (const std::string& relative) const;

    /** Opens a regular file for reading. expected may be null. The stream's
        status says why it failed; wasMissing() when nothing has the name. */
    std::unique_ptr<RegularFileInputStream> openForReading (const std::string& relative, const FileState* expected) const;

    /** Reads a whole regular file; found, when given, receives what had
        the name when it was opened (missing, a folder, the file read...). */
    juce::Result read (const std::string& relative, const FileState* expected, std::string& bytes, FileState* found = nullptr) const;

    struct WriteOptions
    {
        unsigned permissions = 0644;   // of a new file, less the creation mask; see exactPermissions
        bool exactPermissions = false; // permissions, exactly, for a new and an existing file alike
        bool createFolders = false;    // missing folders on the way are made (never through a link)
        bool sync = true;              // the new contents reach the disk before they take the name

        /** The file as it was when its contents were read, found to be the
            expected file then: it is not looked at again before the new
            version is written, and the new version takes the name only if
            the file is still exactly that (not written, re-permitted or
            swapped since). Null: looked at before and after. */
        const FileState* readAs = nullptr;

        /** Set, when given, if nothing was written because the name no
            longer held the file as read (or as expected): changed, swapped
            or gone since. */
        bool* nameChanged = nullptr;
    };

    /** Writes the new contents into out; a failure leaves the file as it was. */
    using ContentWriter = std::function<juce::Result (juce::OutputStream& out)>;

    /** Replaces the contents of the regular file at relative (or creates it)
        without ever leaving it half-written: the new version is written to a
        hidden temporary file in the same folder (by its descriptor), with the
        old version's owner, group, permissions, access list and extended
        attributes (an attribute that cannot be kept fails the file), and
        takes the name with
        renameat(). An existing file without write permission for its owner
        is refused: a file the user marked read-only stays as it is, whoever
        runs the tool. */
    juce::Result replaceContents (const std::string& relative, const FileState* expected, const ContentWriter& write,
                                  const WriteOptions& options) const;

    juce::Result replaceContents (const std::string& relative, const FileState* expected, const void* data, size_t numBytes,
                                  const WriteOptions& options) const;

    /** Ok when replaceContents would not refuse the file outright (changed,
        a link, a folder, read-only). Writing may still fail later. */
    juce::Result checkWritable (const std::string& relative, const FileState* expected) const;

    /** Makes alias, which must still be the file aliasExpected, a hard link
        to source again: after source was replaced, its other names go on
        naming one file. Each step is a rename, so alias is never missing. */
    juce::Result linkAgain (const std::string& source, const std::string& alias, const FileState& aliasExpected) const;

    /** Removes the regular file at relative while it is still the file
        expected (same device and inode): another file that took its name
        meanwhile stays. */
    juce::Result removeFile (const std::string& relative, const FileState& expected) const;

    /** Removes the regular files directly in the folder at relativeFolder
        ("" for this folder) whose names isWanted picks, and returns their
        paths below this folder. */
    std::vector<std::string> removeFiles (const std::string& relativeFolder,
                                          const std::function<bool (const std::string& name)>& isWanted) const;

    /** Why this system cannot hold the name of one part of a path as it
        is written (Windows: "CON", "a.xml.", "a:b"), or empty when it can. */
    static std::string refusalOfName (const std::string& part);

    /** A path as this system compares names: two paths with one key name
        one file (Windows ignores letter case). */
    static std::string nameKey (const std::string& path);

    /** Whether the kernel resolves beneath a folder itself (openat2), rather
        than a walk per folder. */
    static bool kernelResolvesBeneath();

private:
    /** The folder that holds a name, opened, and the name in it. */
    struct Parent
    {
        FileDescriptor owned; // not open when the parent is the folder itself
        FileDescriptor::Native descriptor = FileDescriptor::none;
        std::string leaf;
        juce::Result result = juce::Result::ok();
        bool folderMissing = false; // a folder on the way does not exist
    };
    Parent openParent (const std::string& relative, bool createFolders) const;
    juce::Result checkTarget (const Parent& parent, const FileState* expected, FileState& current) const;

    /** The state to keep before a new version is written: the one the file
        was read as, or what has the name now, checked against expected; a
        read-only file is refused. */
    juce::Result stateBeforeWriting (const Parent& parent, const FileState* expected, const WriteOptions& options,
                                     FileState& current) const;

    /** Whether the name still holds the file as it was before the new
        version was written; when not, nameChanged is set and why is said. */
    juce::Result checkAfterWriting (const Parent& parent, const FileState* expected, const FileState& current,
                                    const WriteOptions& options) const;

    /** The regular file at the parent's name opened for reading, never
        through a link; not open when it cannot be, with why (and whether
        nothing had the name). */
    FileDescriptor openLeafForReading (const Parent& parent, bool& missing, juce::Result& failure) const;

    /** The stream of a file opened at a name, or a refusal when it is not
        the regular file expected. */
    static std::unique_ptr<RegularFileInputStream> judgeOpened (std::unique_ptr<RegularFileInputStream> stream, const FileState* expected);

    /** Whether what has the name now may be worked on as the file expected:
        the reason when it is a link, a folder, gone, or another file. */
    static juce::Result judgeTarget (const FileState* expected, const FileState& current);

    /** The parts of a plain path below the folder ("sub/a.xml"), or false
        for "", "/x", ".", ".." and empty parts. */
    static bool splitPath (const std::string& relative, std::vector<std::string>& parts);

    juce::File folder;
    FileDescriptor descriptor;
    juce::Result opened = juce::Result::ok();

#if ! defined(_WIN32)
    juce::Result keepExtendedAttributes (const Parent& parent, int newVersion, std::optional<unsigned> mode) const;
    std::optional<unsigned> creationMask; // as it was when the folder was opened: a run's files are made under it

    /** Whether a file made in the parent takes another group than want: a
        setgid folder of another group, which could then read a new version. */
    bool givesAnotherGroup (int parentDescriptor, unsigned want) const;

    struct FolderGroup
    {
        bool setgid = false;
        unsigned group = 0;
    };
    std::optional<FolderGroup> folderGroup; // the folder's own, as it was when it was opened
#endif

    JUCE_DECLARE_NON_COPYABLE (FolderAccess)
};
