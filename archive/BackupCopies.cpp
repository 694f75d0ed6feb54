#include "BackupCopies.h"

#include <zlib.h>


bool BackupCopies::readAt (juce::int64 offset, char* destination, size_t size, size_t& got) const
{
    got = 0;
    while (got < size)
    {
        const auto read = archive.readAt (offset + (juce::int64) got, destination + got, size - got);
        if (read < 0)
            return false;
        if (read == 0)
            break;
        got += (size_t) read;
    }
    return true;
}

bool BackupCopies::readAlone (const Copy& copy, std::string& bytes) const
{
    bytes.assign ((size_t) copy.size, '\0');
    size_t got = 0;
    return readAt (copy.offset, bytes.data(), bytes.size(), got) && got == bytes.size();
}

bool BackupCopies::copyThroughWindow (const Copy& copy, std::string& bytes) const
{
    // One window, read again in place: its memory is reused for the whole
    // run. A copy before it (its thread fell behind the other) is read alone.
    std::unique_lock<std::mutex> guard (windowLock);
    if (! windowHolds (copy))
    {
        if (copy.offset < windowStart && ! window.empty())
        {
            guard.unlock(); // the other thread goes on with the window meanwhile
            return readAlone (copy, bytes);
        }
        // The window starts at the copy asked for: the next ones asked for
        // follow it in the archive.
        window.resize (windowSize);
        size_t got = 0;
        window.resize (readAt (copy.offset, window.data(), window.size(), got) ? got : 0);
        windowStart = copy.offset;
        if (! windowHolds (copy))
            return false;
    }
    bytes.assign (window, (size_t) (copy.offset - windowStart), (size_t) copy.size);
    return true;
}

bool BackupCopies::windowHolds (const Copy& copy) const
{
    return copy.offset >= windowStart && copy.offset + copy.size <= windowStart + (juce::int64) window.size();
}

juce::Result BackupCopies::read (const Copy& copy, std::string& bytes) const
{
    const bool complete = (size_t) copy.size <= windowSize / 4 ? copyThroughWindow (copy, bytes) : readAlone (copy, bytes);
    if (! complete)
        return juce::Result::fail ("cannot read its copy in the backup");
    if ((juce::uint32) crc32_z (crc32 (0, nullptr, 0), reinterpret_cast<const Bytef*> (bytes.data()), bytes.size()) != copy.crc)
        return juce::Result::fail ("its copy in the backup does not match its CRC");
    return juce::Result::ok();
}
