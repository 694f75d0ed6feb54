#include "RegularFileInputStream.h"

#include <algorithm>

namespace
{
    juce::Result systemFailure (const char* what)
    {
        return juce::Result::fail (juce::String (what) + " (" + FileDescriptor::lastError() + ")");
    }

    // The file type bits of a regular file in a Unix mode, as archives hold it.
    constexpr unsigned unixRegularFile = 0100000;
}

RegularFileInputStream::RegularFileInputStream (const juce::File& file)
    : descriptor (FileDescriptor::openForReading (file))
{
    if (! descriptor.isOpen())
    {
        missing = FileDescriptor::lastErrorWasMissing();
        status = systemFailure ("cannot open the file");
        return;
    }
    checkOpened();
}

RegularFileInputStream::RegularFileInputStream (FileDescriptor opened)
    : descriptor (std::move (opened))
{
    checkOpened();
}

RegularFileInputStream::RegularFileInputStream (const juce::Result& failure, bool wasMissing, bool wasNotRegular, const FileState& found)
    : status (failure), missing (wasMissing), notRegular (wasNotRegular), state (found)
{
}

RegularFileInputStream::~RegularFileInputStream() = default;

void RegularFileInputStream::checkOpened()
{
    state = descriptor.state();
    if (! state.exists())
    {
        status = systemFailure ("cannot read the file");
        return;
    }
    if (state.kind != FileState::Kind::regular)
    {
        notRegular = true;
        status = juce::Result::fail ("not a regular file");
        return;
    }

    mode = unixRegularFile | state.mode;
    length = (juce::int64) state.size;
}

int RegularFileInputStream::read (void* destination, int maxBytes)
{
    if (status.failed() || maxBytes <= 0)
        return 0;

    // A regular file reads short only at its end: asking again to be told
    // so would cost a system call a file.
    if (reachedEnd)
    {
        exhausted = true;
        return 0;
    }

    const auto got = descriptor.read (destination, (size_t) maxBytes);
    if (got < 0)
    {
        status = systemFailure ("cannot read the file");
        return 0;
    }

    exhausted = got == 0;
    position += got;
    reachedEnd = got < maxBytes && position >= length;
    return (int) got;
}

bool RegularFileInputStream::setPosition (juce::int64 newPosition)
{
    if (status.failed() || ! descriptor.seek (newPosition))
        return false;
    position = newPosition;
    exhausted = false;
    reachedEnd = false;
    return true;
}

juce::Result RegularFileInputStream::readAll (std::string& bytes)
{
    bytes.clear();
    if (status.failed())
        return status;

    // Sized from the open file, not the listing: the file may have changed
    // since. A file that grew meanwhile is read on to its end. One byte more
    // than the size is asked for, so that a file that did not grow ends with
    // its first read.
    bytes.resize ((size_t) std::max<juce::int64> (0, length - position) + 1);
    size_t filled = 0;
    for (;;)
    {
        char probe[4096];
        const bool intoBytes = filled < bytes.size();
        const auto got = intoBytes ? read (bytes.data() + filled, (int) std::min<size_t> (bytes.size() - filled, 1 << 30))
                                   : read (probe, (int) sizeof probe);
        if (status.failed())
            return status;
        if (got <= 0)
            break;
        if (! intoBytes)
            bytes.append (probe, (size_t) got);
        filled += (size_t) got;
    }
    bytes.resize (filled);
    return juce::Result::ok();
}
