#include "FolderLock.h"

#include "RealPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{
    juce::Result systemFailure (const juce::String& what)
    {
        return juce::Result::fail (what + " (" + juce::String (std::strerror (errno)) + ")");
    }
}

juce::Result FolderLock::openChain (const juce::File& folder)
{
    chain.clear();
    const auto real = RealPath::of (folder);
    if (real.empty() || ! real.is_absolute())
        return systemFailure ("cannot open the folder");

    std::vector<std::string> parts;
    for (const auto& part : real.relative_path())
        if (! part.empty())
            parts.push_back (part.string());

    FileDescriptor walker (::open ("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (! walker.isOpen())
        return systemFailure ("cannot open the folder");

    const auto lockable = [] (int parent, const char* name) {
        return FileDescriptor (::openat (parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    };

    if (auto root = lockable (walker.get(), "."); root.isOpen() || parts.empty())
    {
        if (! root.isOpen())
            return systemFailure ("cannot open the folder");
        chain.push_back ({ std::move (root), parts.empty() ? LOCK_EX : LOCK_SH });
    }

    for (size_t i = 0; i < parts.size(); ++i)
    {
        const bool last = i + 1 == parts.size();
        auto lockHere = lockable (walker.get(), parts[i].c_str());
        FileDescriptor next (::openat (walker.get(), parts[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (! next.isOpen() || (last && ! lockHere.isOpen()))
            return systemFailure ("cannot open the folder");

        // A folder above that the user may search but not read cannot be
        // opened for a lock: it is left out, and the runs below it still
        // exclude each other at the folders they can open.
        if (lockHere.isOpen())
            chain.push_back ({ std::move (lockHere), last ? LOCK_EX : LOCK_SH });
        walker = std::move (next);
    }
    return juce::Result::ok();
}

FolderLock::Attempt FolderLock::tryLock (const FileDescriptor& descriptor, int operation)
{
    if (::flock (descriptor.get(), operation | LOCK_NB) == 0)
        return Attempt::taken;
    return errno == EWOULDBLOCK || errno == EINTR ? Attempt::busy : Attempt::failed;
}
