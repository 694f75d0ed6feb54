#include "FolderAccess.h"

#include "DisplayName.h"
#include "ExclusiveFile.h"
#include "ExtendedAttributes.h"
#include "FileNameText.h"
#include "FileDescriptorOutputStream.h"
#include "ProcessFacts.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <limits>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
    juce::String systemError()
    {
        return juce::String (std::strerror (errno));
    }

    juce::Result systemFailure (const juce::String& what)
    {
        return juce::Result::fail (what + " (" + systemError() + ")");
    }

    juce::String shown (const std::string& relative)
    {
        return DisplayName::of (FileNameText::fromBytes (relative));
    }

    std::string joined (const std::vector<std::string>& parts, size_t count)
    {
        std::string path;
        for (size_t i = 0; i < count; ++i)
            path += (i > 0 ? "/" : "") + parts[i];
        return path;
    }

    enum class Support
    {
        unknown,
        yes,
        no
    };
    // A build for systems without openat2 (QUILLMERE_PORTABLE_POSIX) takes the walk always.
#if defined(QUILLMERE_WALK_ONLY)
    std::atomic<Support> openat2Support { Support::no };
#else
    std::atomic<Support> openat2Support { Support::unknown };
#endif

    /** openat2() beneath dirfd without links; -1 with errno ENOSYS where the kernel has none. */
    int openBeneath (int dirfd, const char* path, int flags)
    {
        if (openat2Support.load() == Support::no)
        {
            errno = ENOSYS;
            return -1;
        }
        open_how how {};
        how.flags = (unsigned long long) flags;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const auto opened = (int) ::syscall (SYS_openat2, dirfd, path, &how, sizeof how);
        if (opened < 0 && errno == ENOSYS)
            openat2Support = Support::no;
        else if (openat2Support.load() == Support::unknown)
            openat2Support = Support::yes;
        return opened;
    }

    /** Whether a file created with these permission bits under this
        creation mask gets exactly them: no setuid, setgid or sticky bit
        (which the kernel may drop), and none that the mask takes away. */
    bool createsExactly (unsigned mode, const std::optional<unsigned>& mask)
    {
        return mask.has_value() && (mode & ~0777u) == 0 && (mode & *mask) == 0;
    }

    /** A temporary file in a folder, removed again unless kept. */
    struct TemporaryFile
    {
        int folder = -1;
        std::string name;
        FileDescriptor file;
        bool kept = false;

        ~TemporaryFile()
        {
            file.reset();
            if (! kept && ! name.empty())
                ::unlinkat (folder, name.c_str(), 0);
        }

        bool create (int inFolder, unsigned permissions)
        {
            folder = inFolder;
            for (int attempt = 0; attempt < 100; ++attempt)
            {
                const auto candidate = ExclusiveFile::temporaryFileName().toStdString();
                file = FileDescriptor (::openat (folder, candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                                 (mode_t) permissions));
                if (file.isOpen())
                {
                    name = candidate; // only a file this call created is ever removed again
                    return true;
                }
                if (errno != EEXIST)
                    return false;
            }
            return false;
        }
    };
}

FolderAccess::FolderAccess (const juce::File& folderToOpen)
    : folder (folderToOpen),
      descriptor (::open (FileNameText::toBytes (folderToOpen.getFullPathName()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      creationMask (ProcessFacts::creationMask())
{
    if (! descriptor.isOpen())
        opened = systemFailure ("cannot open the folder " + DisplayName::of (folder));
    else if (struct stat info; ::fstat (descriptor.get(), &info) == 0)
        folderGroup = { (info.st_mode & S_ISGID) != 0, (unsigned) info.st_gid };
}

bool FolderAccess::kernelResolvesBeneath()
{
    if (openat2Support.load() == Support::unknown)
        FileDescriptor (openBeneath (AT_FDCWD, ".", O_PATH | O_CLOEXEC));
    return openat2Support.load() == Support::yes;
}

FolderAccess::Parent FolderAccess::openParent (const std::string& relative, bool createFolders) const
{
    Parent parent;
    std::vector<std::string> parts;
    if (opened.failed())
    {
        parent.result = opened;
        return parent;
    }
    if (! splitPath (relative, parts))
    {
        parent.result = juce::Result::fail (shown (relative) + " is not a plain path below the folder");
        return parent;
    }

    parent.leaf = parts.back();
    parent.descriptor = descriptor.get();
    if (parts.size() == 1)
        return parent;

    if (! createFolders)
    {
        parent.owned = FileDescriptor (openBeneath (descriptor.get(), joined (parts, parts.size() - 1).c_str(),
                                                    O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (parent.owned.isOpen())
        {
            parent.descriptor = parent.owned.get();
            return parent;
        }
    }

    // The walk: where the kernel has no openat2, where a folder is to be
    // made, and to say exactly which part is in the way.
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        const auto& part = parts[i];
        FileDescriptor next (::openat (parent.descriptor, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (! next.isOpen() && errno == ENOENT && createFolders)
        {
            // The creation mask applies, as to any folder the user makes.
            if (::mkdirat (parent.descriptor, part.c_str(), 0777) != 0 && errno != EEXIST)
            {
                parent.result = systemFailure ("cannot create the folder " + shown (joined (parts, i + 1)));
                return parent;
            }
            next = FileDescriptor (::openat (parent.descriptor, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        }

        struct stat info;
        const bool isFolder = next.isOpen() ? ::fstat (next.get(), &info) == 0 && S_ISDIR (info.st_mode)
                                            : ::fstatat (parent.descriptor, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR (info.st_mode);
        if (! next.isOpen() || ! isFolder)
        {
            const auto where = shown (joined (parts, i + 1));
            if (::fstatat (parent.descriptor, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            {
                parent.folderMissing = errno == ENOENT;
                parent.result = parent.folderMissing ? juce::Result::fail ("the folder " + where + " on its way is missing")
                                                     : systemFailure ("cannot open the folder " + where);
            }
            else if (S_ISLNK (info.st_mode))
                parent.result = juce::Result::fail ("the folder " + where + " on its way is a link: not changed");
            else if (! S_ISDIR (info.st_mode))
                parent.result = juce::Result::fail (where + " on its way is not a folder: not changed");
            else
                parent.result = systemFailure ("cannot open the folder " + where);
            return parent;
        }

        parent.owned = std::move (next);
        parent.descriptor = parent.owned.get();
    }
    return parent;
}

juce::Result FolderAccess::checkTarget (const Parent& parent, const FileState* expected, FileState& current) const
{
    current = {};
    struct stat info;
    if (::fstatat (parent.descriptor, parent.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        current = FileState::from (info);
    else if (errno != ENOENT)
        return systemFailure ("cannot look at the file");
    return judgeTarget (expected, current);
}

FileState FolderAccess::stateOf (const std::string& relative) const
{
    FileState state;
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
    {
        // A folder on the way that is a link, or not a folder, makes the
        // name one that cannot be reached: it counts as a link.
        if (! parent.folderMissing && parent.descriptor >= 0)
            state.kind = FileState::Kind::link;
        return state;
    }

    struct stat info;
    if (::fstatat (parent.descriptor, parent.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        state = FileState::from (info);
    return state;
}

bool FolderAccess::foldersOnTheWay (const std::string& relative, std::vector<FileState>& folders) const
{
    folders.clear();
    std::vector<std::string> parts;
    if (opened.failed() || ! splitPath (relative, parts))
        return false;

    FileDescriptor holder;
    int current = descriptor.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        FileDescriptor next (::openat (current, parts[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat info;
        if (! next.isOpen() || ::fstat (next.get(), &info) != 0 || ! S_ISDIR (info.st_mode))
            return false;
        folders.push_back (FileState::from (info));
        holder = std::move (next);
        current = holder.get();
    }
    return true;
}

bool FolderAccess::givesAnotherGroup (int parentDescriptor, unsigned want) const
{
    // The folder itself was looked at when it was opened; a folder below is
    // looked at now.
    if (parentDescriptor == descriptor.get() && folderGroup.has_value())
        return folderGroup->setgid && folderGroup->group != want;
    struct stat info;
    return ::fstat (parentDescriptor, &info) != 0 || ((info.st_mode & S_ISGID) != 0 && (unsigned) info.st_gid != want);
}

FileDescriptor FolderAccess::openLeafForReading (const Parent& parent, bool& missing, juce::Result& failure) const
{
    FileDescriptor file (::openat (parent.descriptor, parent.leaf.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (! file.isOpen())
    {
        missing = errno == ENOENT;
        failure = systemFailure ("cannot open the file");
    }
    return file;
}

juce::Result FolderAccess::replaceContents (const std::string& relative, const FileState* expected, const ContentWriter& write,
                                            const WriteOptions& options) const
{
    const auto parent = openParent (relative, options.createFolders);
    if (parent.result.failed())
        return parent.result;

    FileState current;
    if (auto problem = stateBeforeWriting (parent, expected, options, current); problem.failed())
        return problem;

    // A new version starts private, or with its final permissions where the
    // owner stays, and gets the old one's owner and permissions before any
    // byte of it is written, so it is never readable by more people than
    // the original was.
    const bool exists = current.exists();
    const bool keepsOwner = ! exists
                         || (current.owner == ProcessFacts::effectiveUser() && current.group == ProcessFacts::effectiveGroup()
                             && ! givesAnotherGroup (parent.descriptor, current.group));
    const bool setsMode = exists || options.exactPermissions;
    const unsigned finalMode = options.exactPermissions ? options.permissions : current.mode;
    const bool createdFinal = setsMode && keepsOwner && createsExactly (finalMode, creationMask);
    const unsigned createdMode = createdFinal ? finalMode : (setsMode ? 0600 : options.permissions);
    TemporaryFile temporary;
    if (! temporary.create (parent.descriptor, createdMode))
        return systemFailure ("cannot create a temporary file beside it");

    const int file = temporary.file.get();
    if (! keepsOwner && ::fchown (file, (uid_t) current.owner, (gid_t) current.group) != 0)
    {
        // Where the owner cannot be kept the rewrite is refused: the user the
        // file belongs to must not lose it.
        struct stat created;
        if (::fstat (file, &created) != 0 || created.st_uid != current.owner || created.st_gid != current.group)
            return systemFailure ("cannot keep the file's owner");
    }
    if (setsMode && ! createdFinal && ::fchmod (file, (mode_t) finalMode) != 0)
        return systemFailure ("cannot give the new version the file's permissions");
    if (exists)
        if (auto kept = keepExtendedAttributes (parent, file, setsMode ? std::optional<unsigned> (finalMode) : std::nullopt); kept.failed())
            return kept;

    {
        FileDescriptorOutputStream out (file);
        const auto written = write (out);
        if (written.failed() || out.getStatus().failed())
            return juce::Result::fail ("cannot write the new version ("
                                       + (out.getStatus().failed() ? out.getStatus().getErrorMessage() : written.getErrorMessage()) + ")");
    }
    if (options.sync && ::fsync (file) != 0)
        return systemFailure ("cannot sync the new version to the disk");
    if (temporary.file.reset() != 0)
        return systemFailure ("cannot write the new version");

    if (auto problem = checkAfterWriting (parent, expected, current, options); problem.failed())
        return problem;

    const int renamed = exists ? ::renameat (parent.descriptor, temporary.name.c_str(), parent.descriptor, parent.leaf.c_str())
                               : ExclusiveFile::renameWithoutReplacing (parent.descriptor, temporary.name.c_str(), parent.leaf.c_str());
    if (renamed != 0)
        return errno == EEXIST ? juce::Result::fail ("a file took its place since it was listed: not changed")
                               : systemFailure ("cannot replace the file with its new version");
    temporary.kept = true;
    return juce::Result::ok();
}

juce::Result FolderAccess::keepExtendedAttributes (const Parent& parent, int newVersion, std::optional<unsigned> mode) const
{
    std::vector<ExtendedAttributes::Attribute> attributes;
    if (auto read = ExtendedAttributes::read (parent.descriptor, parent.leaf, attributes); read.failed())
        return read;
    bool aclChanged = false;
    if (auto written = ExtendedAttributes::write (newVersion, attributes, aclChanged); written.failed())
        return written;
    // Setting an access list sets the mode's group bits; the mode wanted
    // (a restore's, from the archive) then narrows the list's mask again.
    if (aclChanged && mode.has_value() && ::fchmod (newVersion, (mode_t) *mode) != 0)
        return systemFailure ("cannot give the new version the file's permissions");
    return juce::Result::ok();
}

bool FolderAccess::linkOnTheWay (const std::string& relative) const
{
    std::vector<std::string> parts;
    if (opened.failed() || ! splitPath (relative, parts))
        return true;

    FileDescriptor holder;
    int current = descriptor.get();
    for (const auto& part : parts)
    {
        struct stat info;
        if (::fstatat (current, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return errno != ENOENT;
        if (S_ISLNK (info.st_mode))
            return true;
        if (! S_ISDIR (info.st_mode))
            return false;
        FileDescriptor next (::openat (current, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (! next.isOpen())
            return true;
        holder = std::move (next);
        current = holder.get();
    }
    return false;
}

bool FolderAccess::accessListOnTheWay (const std::string& relative) const
{
    std::vector<std::string> parts;
    if (opened.failed() || ! splitPath (relative, parts))
        return true;

    FileDescriptor holder;
    int current = descriptor.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        FileDescriptor next (::openat (current, parts[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (! next.isOpen() || ExtendedAttributes::hasAccessList (next.get(), {}))
            return true;
        holder = std::move (next);
        current = holder.get();
    }
    return ExtendedAttributes::hasAccessList (current, parts.back());
}

juce::Result FolderAccess::linkAgain (const std::string& source, const std::string& alias, const FileState& aliasExpected) const
{
    const auto from = openParent (source, false);
    const auto to = openParent (alias, false);
    if (from.result.failed())
        return from.result;
    if (to.result.failed())
        return to.result;

    FileState current;
    if (auto problem = checkTarget (to, &aliasExpected, current); problem.failed())
        return problem;

    const auto name = ExclusiveFile::temporaryFileName().toStdString();
    if (::linkat (from.descriptor, from.leaf.c_str(), to.descriptor, name.c_str(), 0) != 0)
        return systemFailure ("cannot link it again");

    // linkat() links a link itself: what was linked must be the regular file.
    struct stat linked;
    if (::fstatat (to.descriptor, name.c_str(), &linked, AT_SYMLINK_NOFOLLOW) != 0 || ! S_ISREG (linked.st_mode)
        || ::renameat (to.descriptor, name.c_str(), to.descriptor, to.leaf.c_str()) != 0)
    {
        const auto failure = systemFailure ("cannot link it again");
        ::unlinkat (to.descriptor, name.c_str(), 0);
        return failure;
    }
    return juce::Result::ok();
}

juce::Result FolderAccess::removeFile (const std::string& relative, const FileState& expected) const
{
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
        return parent.result;
    // Anything but the expected file at the name (gone, a link, another
    // file) fails the check.
    FileState current;
    if (auto problem = checkTarget (parent, &expected, current); problem.failed())
        return problem;
    if (::unlinkat (parent.descriptor, parent.leaf.c_str(), 0) != 0)
        return systemFailure ("cannot remove it");
    return juce::Result::ok();
}

std::vector<std::string> FolderAccess::removeFiles (const std::string& relativeFolder,
                                                    const std::function<bool (const std::string& name)>& isWanted) const
{
    std::vector<std::string> removed;
    FileDescriptor inside;
    if (relativeFolder.empty())
        inside = FileDescriptor (::fcntl (descriptor.get(), F_DUPFD_CLOEXEC, 0));
    else if (const auto parent = openParent (relativeFolder, false); parent.result.wasOk())
        inside = FileDescriptor (::openat (parent.descriptor, parent.leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (! inside.isOpen())
        return removed;

    std::vector<std::string> names;
    if (DIR* listing = ::fdopendir (::fcntl (inside.get(), F_DUPFD_CLOEXEC, 0)))
    {
        while (const auto* entry = ::readdir (listing))
            if (isWanted (entry->d_name))
                names.emplace_back (entry->d_name);
        ::closedir (listing);
    }

    for (const auto& name : names)
    {
        struct stat info;
        if (::fstatat (inside.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG (info.st_mode)
            && ::unlinkat (inside.get(), name.c_str(), 0) == 0)
            removed.push_back (relativeFolder.empty() ? name : relativeFolder + "/" + name);
    }
    return removed;
}

std::string FolderAccess::refusalOfName (const std::string&)
{
    return {}; // any bytes but '/' and a zero, which paths never hold in a part
}

std::string FolderAccess::nameKey (const std::string& path)
{
    return path;
}

juce::uint64 FolderAccess::freeSpaceIn (const juce::File& folder)
{
    struct statvfs info;
    if (::statvfs (FileNameText::toBytes (folder.getFullPathName()).c_str(), &info) != 0)
        return std::numeric_limits<juce::uint64>::max();
    return (juce::uint64) info.f_bavail * (juce::uint64) info.f_frsize;
}

juce::Result FolderAccess::syncFileSystem() const
{
    if (::syncfs (descriptor.get()) != 0)
        return systemFailure ("cannot write the changes to the disk");
    return juce::Result::ok();
}
