#include "FileDescriptorOutputStream.h"

namespace
{
    juce::Result systemFailure (const char* what)
    {
        return juce::Result::fail (juce::String (what) + " (" + FileDescriptor::lastError() + ")");
    }

    /** The descriptor as a FileDescriptor whose calls it may use, without owning it. */
    struct Borrowed
    {
        FileDescriptor file;
        explicit Borrowed (FileDescriptor::Native native)
            : file (native) {}
        ~Borrowed() { file.release(); }
    };
}

FileDescriptorOutputStream::FileDescriptorOutputStream (FileDescriptor::Native descriptorToUse)
    : descriptor (descriptorToUse)
{
}

bool FileDescriptorOutputStream::write (const void* data, size_t numBytes)
{
    auto* bytes = static_cast<const char*> (data);
    while (numBytes > 0 && status.wasOk())
    {
        const auto written = Borrowed (descriptor).file.write (bytes, numBytes);
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
    if (! Borrowed (descriptor).file.seek (newPosition))
    {
        status = systemFailure ("cannot seek");
        return false;
    }
    position = newPosition;
    return true;
}
