#include "ReadAheadInputStream.h"

ReadAheadInputStream::ReadAheadInputStream (juce::InputStream& sourceToUse, size_t blockSize)
    : source (sourceToUse), buffer (blockSize), capacity (blockSize)
{
    jassert (blockSize > 0);
}

int ReadAheadInputStream::read (void* destination, int maxBytes)
{
    if (maxBytes <= 0)
        return 0;

    if (start == end)
    {
        // One read of the source per block; nothing or an error ends the stream.
        const auto numRead = source.read (buffer, (int) capacity);
        start = 0;
        end = numRead > 0 ? (size_t) numRead : 0;
        if (end == 0)
            return 0;
    }

    const auto numBytes = juce::jmin ((size_t) maxBytes, end - start);
    std::memcpy (destination, buffer + start, numBytes);
    start += numBytes;
    position += (juce::int64) numBytes;
    return (int) numBytes;
}
