#pragma once

#include <juce_core/juce_core.h>

/**
    Collects small writes into large ones for an unbuffered destination, and
    never loses a failure: once a write, seek or flush of the destination has
    failed, every later call fails too, so a caller that checks its last call
    learns about any earlier one.

    A seek back into bytes still held in the buffer (the archive writer patches
    each entry's header once its data is copied) changes them in memory,
    without touching the destination.
*/
class CheckedBufferedOutputStream : public juce::OutputStream
{
public:
    CheckedBufferedOutputStream (juce::OutputStream& destination, size_t bufferSize);

    /** Does not flush: bytes never flushed were not asked to be kept. */
    ~CheckedBufferedOutputStream() override = default;

    /** Writes every buffered byte, then flushes the destination. */
    void flush() override;
    bool setPosition (juce::int64 newPosition) override;
    juce::int64 getPosition() override;
    bool write (const void* data, size_t numBytes) override;

    bool hasFailed() const { return failed; }

private:
    bool writeBuffer();

    juce::OutputStream& destination;
    juce::HeapBlock<char> buffer;
    const size_t capacity;
    juce::int64 bufferStart; // destination position of the buffer's first byte
    size_t used = 0;         // bytes of the buffer that hold data
    size_t cursor = 0;       // where the next write goes, within the buffer
    bool failed = false;

    JUCE_DECLARE_NON_COPYABLE (CheckedBufferedOutputStream)
};
