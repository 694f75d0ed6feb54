#include "RegularFileInputStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    juce::Result systemFailure (const char* what)
    {
        return juce::Result::fail (juce::String (what) + " (" + juce::String (std::strerror (errno)) + ")");
    }
}

RegularFileInputStream::RegularFileInputStream (const juce::File& file)
{
    descriptor = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        missing = errno == ENOENT;
        status = systemFailure ("cannot open the file");
        return;
    }

    struct stat info;
    if (::fstat (descriptor, &info) != 0)
    {
        status = systemFailure ("cannot read the file");
        return;
    }

    if (! S_ISREG (info.st_mode))
    {
        notRegular = true;
        status = juce::Result::fail ("not a regular file");
        return;
    }

    mode = (unsigned) info.st_mode;
    length = (juce::int64) info.st_size;
}

RegularFileInputStream::~RegularFileInputStream()
{
    if (descriptor >= 0)
        ::close (descriptor);
}

int RegularFileInputStream::read (void* destination, int maxBytes)
{
    if (status.failed() || maxBytes <= 0)
        return 0;

    for (;;)
    {
        const auto got = ::read (descriptor, destination, (size_t) maxBytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            status = systemFailure ("cannot read the file");
            return 0;
        }

        exhausted = got == 0;
        position += got;
        return (int) got;
    }
}

bool RegularFileInputStream::setPosition (juce::int64 newPosition)
{
    if (status.failed() || ::lseek (descriptor, (off_t) newPosition, SEEK_SET) < 0)
        return false;
    position = newPosition;
    exhausted = false;
    return true;
}
