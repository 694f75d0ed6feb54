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

juce::Result FolderLock::lock (const FileDescriptor& descriptor, int operation, const std::function<void()>& onWait,
                               bool& waited, const std::atomic<bool>* cancel)
{
    // Polled rather than blocking, so that a cancel is seen while waiting.
    while (::flock (descriptor.get(), operation | LOCK_NB) != 0)
    {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return systemFailure ("cannot lock the folder");
        if (! waited && onWait)
            onWait();
        waited = true;
        if (cancel != nullptr && cancel->load())
            return juce::Result::fail ("cancelled");
        juce::Thread::sleep (20);
    }
    return juce::Result::ok();
}
