#include "BackupCopies.h"

#include <zlib.h>

#include <cerrno>
#include <unistd.h>

juce::Result BackupCopies::read (const Copy& copy, std::string& bytes) const
{
    bytes.assign ((size_t) copy.size, '\0');
    size_t done = 0;
    while (done < bytes.size())
    {
        const auto got = ::pread (archive.get(), bytes.data() + done, bytes.size() - done, (off_t) (copy.offset + (juce::int64) done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return juce::Result::fail ("cannot read its copy in the backup");
        done += (size_t) got;
    }
    if ((juce::uint32) crc32_z (crc32 (0, nullptr, 0), reinterpret_cast<const Bytef*> (bytes.data()), bytes.size()) != copy.crc)
        return juce::Result::fail ("its copy in the backup does not match its CRC");
    return juce::Result::ok();
}
