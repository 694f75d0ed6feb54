#include "FileDescriptor.h"

#include "FileNameText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int FileDescriptor::reset()
{
    if (descriptor < 0)
        return 0;
    return ::close (std::exchange (descriptor, none));
}

FileDescriptor FileDescriptor::openForReading (const juce::File& file)
{
    return FileDescriptor (::open (FileNameText::toBytes (file.getFullPathName()).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

int64_t FileDescriptor::read (void* destination, size_t size) const
{
    for (;;)
    {
        const auto got = ::read (descriptor, destination, size);
        if (got >= 0 || errno != EINTR)
            return (int64_t) got;
    }
}

int64_t FileDescriptor::write (const void* source, size_t size) const
{
    for (;;)
    {
        const auto written = ::write (descriptor, source, size);
        if (written >= 0 || errno != EINTR)
            return (int64_t) written;
    }
}

bool FileDescriptor::seek (int64_t offset) const
{
    return ::lseek (descriptor, (off_t) offset, SEEK_SET) >= 0;
}

bool FileDescriptor::sync() const
{
    return ::fsync (descriptor) == 0;
}

FileState FileDescriptor::state() const
{
    struct stat info;
    if (::fstat (descriptor, &info) != 0)
        return {};
    return FileState::from (info);
}

juce::String FileDescriptor::lastError()
{
    return juce::String (std::strerror (errno));
}

bool FileDescriptor::lastErrorWasMissing()
{
    return errno == ENOENT;
}

int64_t FileDescriptor::readAt (int64_t offset, void* destination, size_t size) const
{
    for (;;)
    {
        const auto got = ::pread (descriptor, destination, size, (off_t) offset);
        if (got >= 0 || errno != EINTR)
            return (int64_t) got;
    }
}
