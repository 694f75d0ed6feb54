#include "FolderLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::~FolderLock()
{
    if (descriptor >= 0)
        ::close (descriptor); // closing releases the lock
}

juce::Result FolderLock::acquire (const juce::File& folder, const std::function<void()>& onWait,
                                  const std::atomic<bool>* cancel)
{
    descriptor = ::open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return juce::Result::fail ("cannot open the folder (" + juce::String (std::strerror (errno)) + ")");

    if (::flock (descriptor, LOCK_EX | LOCK_NB) == 0)
        return juce::Result::ok();

    if (errno != EWOULDBLOCK)
        return juce::Result::fail ("cannot lock the folder (" + juce::String (std::strerror (errno)) + ")");

    if (onWait)
        onWait();

    // Polled rather than blocking, so that a cancel is seen while waiting.
    while (::flock (descriptor, LOCK_EX | LOCK_NB) != 0)
    {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return juce::Result::fail ("cannot lock the folder (" + juce::String (std::strerror (errno)) + ")");
        if (cancel != nullptr && cancel->load())
            return juce::Result::fail ("cancelled");
        juce::Thread::sleep (20);
    }
    return juce::Result::ok();
}
