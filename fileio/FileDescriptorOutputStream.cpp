#include "FileDescriptorOutputStream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace
{
    juce::Result systemFailure (const char* what)
    {
        return juce::Result::fail (juce::String (what) + " (" + juce::String (std::strerror (errno)) + ")");
    }
}

FileDescriptorOutputStream::FileDescriptorOutputStream (int descriptorToUse)
    : descriptor (descriptorToUse)
{
}

bool FileDescriptorOutputStream::write (const void* data, size_t numBytes)
{
    auto* bytes = static_cast<const char*> (data);
    while (numBytes > 0 && status.wasOk())
    {
        const auto written = ::write (descriptor, bytes, numBytes);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
        {
            status = systemFailure ("write failed");
            return false;
        }
        bytes += written;
        numBytes -= (size_t) written;
        position += written;
    }
    return status.wasOk();
}

void FileDescriptorOutputStream::flush()
{
    // Nothing is buffered here; syncing to the disk is the owner's decision.
}

bool FileDescriptorOutputStream::setPosition (juce::int64 newPosition)
{
    if (status.failed())
        return false;
    if (::lseek (descriptor, (off_t) newPosition, SEEK_SET) < 0)
    {
        status = systemFailure ("cannot seek");
        return false;
    }
    position = newPosition;
    return true;
}
