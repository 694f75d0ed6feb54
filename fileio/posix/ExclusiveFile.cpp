#include "ExclusiveFile.h"

#include "ProcessFacts.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    juce::Result systemFailure (const juce::String& what)
    {
        return juce::Result::fail (what + " (" + juce::String (std::strerror (errno)) + ")");
    }

    std::string leafOf (const juce::File& file)
    {
        return file.getFileName().toStdString();
    }
}

ExclusiveFile::~ExclusiveFile()
{
    if (descriptor >= 0)
        ::close (descriptor);
    if (! published && temporary != juce::File())
        ::unlinkat (folderDescriptor.get(), leafOf (temporary).c_str(), 0);
}

juce::Result ExclusiveFile::create (const juce::File& folder, unsigned permissions)
{
    const FileDescriptor opened (::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (! opened.isOpen())
        return systemFailure ("cannot open the folder " + folder.getFullPathName());
    return create (opened.get(), folder, permissions);
}

juce::Result ExclusiveFile::narrowPermissions (unsigned allowed)
{
    struct stat info;
    if (::fstat (descriptor, &info) != 0 || ::fchmod (descriptor, (mode_t) (info.st_mode & allowed & 07777)) != 0)
        return systemFailure ("cannot set the permissions of " + temporary.getFullPathName());
    return juce::Result::ok();
}

unsigned ExclusiveFile::getGroup() const
{
    struct stat info;
    return ::fstat (descriptor, &info) == 0 ? (unsigned) info.st_gid : ProcessFacts::effectiveGroup();
}

juce::Result ExclusiveFile::create (int folder, const juce::File& folderName, unsigned permissions)
{
    folderDescriptor = FileDescriptor (::fcntl (folder, F_DUPFD_CLOEXEC, 0));
    if (! folderDescriptor.isOpen())
        return systemFailure ("cannot open the folder " + folderName.getFullPathName());

    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto candidate = temporaryName (folderName);
        descriptor = ::openat (folderDescriptor.get(), leafOf (candidate).c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, (mode_t) permissions);
        if (descriptor >= 0)
        {
            // The user's creation mask applies too: it may take bits away, never add any.
            temporary = candidate;
            return juce::Result::ok();
        }
        if (errno != EEXIST)
            break;
    }
    return systemFailure ("cannot create a new file in " + folderName.getFullPathName());
}

juce::Result ExclusiveFile::publish (const std::function<juce::File (int)>& nameForAttempt, juce::File& publishedAs)
{
    jassert (descriptor >= 0);
    if (::fsync (descriptor) != 0)
        return systemFailure ("cannot sync " + temporary.getFullPathName() + " to the disk");
    const int closed = ::close (descriptor);
    descriptor = -1;
    if (closed != 0)
        return systemFailure ("cannot write " + temporary.getFullPathName());

    for (int attempt = 1; attempt < 100000; ++attempt)
    {
        const auto candidate = nameForAttempt (attempt);
        if (renameWithoutReplacing (folderDescriptor.get(), leafOf (temporary).c_str(), leafOf (candidate).c_str()) == 0)
        {
            published = true;
            publishedAs = candidate;
            return juce::Result::ok();
        }
        if (errno != EEXIST)
            return systemFailure ("cannot name the new file " + candidate.getFullPathName());
    }
    return juce::Result::fail ("no free name for the new file in " + temporary.getParentDirectory().getFullPathName());
}

int ExclusiveFile::renameWithoutReplacing (FileDescriptor::Native folder, const char* from, const char* to)
{
    // Where the file system refuses renameat2's flag, a hard link gives the same guarantee.
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2 (folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
#endif
    if (::linkat (folder, from, folder, to, 0) != 0)
        return -1;
    ::unlinkat (folder, from, 0);
    return 0;
}

FileState ExclusiveFile::getState() const
{
    struct stat info;
    if (descriptor < 0 || ::fstat (descriptor, &info) != 0)
        return {};
    return FileState::from (info);
}
