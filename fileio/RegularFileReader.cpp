#include "RegularFileReader.h"

#include "RegularFileInputStream.h"

juce::Result RegularFileReader::read (const juce::File& file, std::string& bytes)
{
    bytes.clear();

    RegularFileInputStream source (file);
    if (source.getStatus().failed())
        return source.getStatus();

    // Sized from the open file, not the listing: the file may have changed
    // since. A file that grew meanwhile is read on to its end.
    bytes.resize ((size_t) source.getTotalLength());
    size_t filled = 0;
    for (;;)
    {
        char probe[4096];
        const bool intoBytes = filled < bytes.size();
        const auto got = intoBytes ? source.read (bytes.data() + filled, (int) std::min<size_t> (bytes.size() - filled, 1 << 30))
                                   : source.read (probe, (int) sizeof probe);
        if (source.getStatus().failed())
            return source.getStatus();
        if (got <= 0)
            break;
        if (! intoBytes)
            bytes.append (probe, (size_t) got);
        filled += (size_t) got;
    }
    bytes.resize (filled);
    return juce::Result::ok();
}
