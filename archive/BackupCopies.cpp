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

bool BackupCopies::readAlone (const Copy& copy, std::string& bytes) const
{
    bytes.assign ((size_t) copy.size, '\0');
    size_t got = 0;
    return readAt (copy.offset, bytes.data(), bytes.size(), got) && got == bytes.size();
}

bool BackupCopies::copyThroughWindow (const Copy& copy, std::string& bytes) const
{
    std::shared_ptr<const Window> current;
    {
        // The next window is read while the lock is held, so that two
        // threads missing it at once do not both read it; a copy before the
        // window (its thread fell behind) is read alone instead.
        const std::lock_guard<std::mutex> guard (windowLock);
        if (window == nullptr || (! window->holds (copy) && copy.offset > window->start))
        {
            // It starts at the copy asked for: the next ones asked for follow
            // it in the archive.
            auto next = std::make_shared<Window>();
            next->start = copy.offset;
            next->bytes.resize (windowSize);
            size_t got = 0;
            next->bytes.resize (readAt (copy.offset, next->bytes.data(), next->bytes.size(), got) ? got : 0);
            window = std::move (next);
        }
        current = window;
    }
    if (! current->holds (copy))
        return readAlone (copy, bytes);
    bytes.assign (current->bytes, (size_t) (copy.offset - current->start), (size_t) copy.size);
    return true;
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
