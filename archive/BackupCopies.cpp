#include "BackupCopies.h"

#include <zlib.h>

#include <cerrno>
#include <unistd.h>

bool BackupCopies::readAt (juce::int64 offset, char* destination, size_t size, size_t& got) const
{
    got = 0;
    while (got < size)
    {
        const auto read = ::pread (archive.get(), destination + got, size - got, (off_t) (offset + (juce::int64) got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return false;
        if (read == 0)
            break;
        got += (size_t) read;
    }
    return true;
}

bool BackupCopies::copyThroughWindow (const Copy& copy, std::string& bytes) const
{
    std::shared_ptr<const Window> current;
    {
        const std::lock_guard<std::mutex> guard (windowLock);
        current = window;
    }
    if (current == nullptr || ! current->holds (copy))
    {
        // A new window starts at the copy asked for: the next ones asked
        // for follow it in the archive.
        auto next = std::make_shared<Window>();
        next->start = copy.offset;
        next->bytes.resize (windowSize);
        size_t got = 0;
        next->bytes.resize (readAt (copy.offset, next->bytes.data(), next->bytes.size(), got) ? got : 0);
        if (! next->holds (copy))
            return false;
        current = std::move (next);
        const std::lock_guard<std::mutex> guard (windowLock);
        window = current;
    }
    bytes.assign (current->bytes, (size_t) (copy.offset - current->start), (size_t) copy.size);
    return true;
}

juce::Result BackupCopies::read (const Copy& copy, std::string& bytes) const
{
    bool complete = false;
    if ((size_t) copy.size <= windowSize / 4)
    {
        complete = copyThroughWindow (copy, bytes);
    }
    else
    {
        bytes.assign ((size_t) copy.size, '\0');
        size_t got = 0;
        complete = readAt (copy.offset, bytes.data(), bytes.size(), got) && got == bytes.size();
    }
    if (! complete)
        return juce::Result::fail ("cannot read its copy in the backup");
    if ((juce::uint32) crc32_z (crc32 (0, nullptr, 0), reinterpret_cast<const Bytef*> (bytes.data()), bytes.size()) != copy.crc)
        return juce::Result::fail ("its copy in the backup does not match its CRC");
    return juce::Result::ok();
}
