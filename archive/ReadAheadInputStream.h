#pragma once

#include <juce_core/juce_core.h>

/**
    Reads its source in large blocks into a fixed buffer and hands the bytes
    on in whatever pieces the caller asks for, so the archive's copy loop can
    work in small pieces while the disk is read once per block. Unlike the
    framework's buffered stream it never clears the unused part of its buffer,
    which for small files cost more than the reading itself.
*/
class ReadAheadInputStream : public juce::InputStream
{
public:
    ReadAheadInputStream (juce::InputStream& source, size_t blockSize);

    int read (void* destination, int maxBytes) override;
    juce::int64 getTotalLength() override { return source.getTotalLength(); }
    bool isExhausted() override { return start == end && source.isExhausted(); }
    juce::int64 getPosition() override { return position; }

    /** Only the current position is supported: the copy never seeks. */
    bool setPosition (juce::int64 newPosition) override { return newPosition == position; }

private:
    juce::InputStream& source;
    juce::HeapBlock<char> buffer;
    const size_t capacity;
    size_t start = 0, end = 0; // the unread bytes are buffer[start..end)
    juce::int64 position = 0;

    JUCE_DECLARE_NON_COPYABLE (ReadAheadInputStream)
};
