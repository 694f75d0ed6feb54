#include "RegularFileReader.h"

#include <cerrno>
#include <cstring>

#if ! defined (_WIN32)
 #include <fcntl.h>
 #include <sys/stat.h>
 #include <unistd.h>
#endif

namespace
{
    juce::Result failure (const char* what)
    {
        return juce::Result::fail (juce::String (what) + " (" + juce::String (std::strerror (errno)) + ")");
    }
}

juce::Result RegularFileReader::read (const juce::File& file, std::string& bytes)
{
    bytes.clear();

   #if ! defined (_WIN32)
    const int descriptor = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return failure ("cannot read the file");

    struct Closer { int fd; ~Closer() { ::close (fd); } } closer { descriptor };

    struct stat status;
    if (::fstat (descriptor, &status) != 0)
        return failure ("cannot read the file");
    if (! S_ISREG (status.st_mode))
        return juce::Result::fail ("not a regular file");

    // Sized from the open file, not the listing: the file may have changed
    // since. A file that grew meanwhile is read on to its end.
    bytes.resize ((size_t) status.st_size);
    size_t filled = 0;
    for (;;)
    {
        char probe[4096];
        const bool intoBytes = filled < bytes.size();
        const auto got = intoBytes ? ::read (descriptor, bytes.data() + filled, bytes.size() - filled)
                                   : ::read (descriptor, probe, sizeof probe);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure ("cannot read the file");
        if (got == 0)
            break;
        if (! intoBytes)
            bytes.append (probe, (size_t) got);
        filled += (size_t) got;
    }
    bytes.resize (filled);
    return juce::Result::ok();
   #else
    juce::MemoryBlock block;
    if (! file.existsAsFile() || ! file.loadFileAsData (block))
        return juce::Result::fail ("cannot read the file");
    bytes.assign (static_cast<const char*> (block.getData()), block.getSize());
    return juce::Result::ok();
   #endif
}
