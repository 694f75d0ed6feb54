#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cstring>
#include <string>

/** An output stream into a std::string. The framework's XML writer sends most
    of a document one byte at a time; appending to a string takes a fraction
    of what a MemoryOutputStream spends per byte, and the text needs no copy
    afterwards. */
class StringOutputStream : public juce::OutputStream
{
public:
    explicit StringOutputStream (size_t expectedSize) : text (std::max (expectedSize, (size_t) 256), '\0') {}

    void flush() override {}
    juce::int64 getPosition() override { return (juce::int64) used; }

    /** Only the current end is a valid position: the stream is append-only. */
    bool setPosition (juce::int64 position) override { return position == getPosition(); }

    bool write (const void* data, size_t numBytes) override
    {
        makeRoom (numBytes);
        std::memcpy (text.data() + used, data, numBytes);
        used += numBytes;
        return true;
    }

    bool writeByte (char byte) override
    {
        // The hot path: one test and one store per byte.
        if (used == text.size())
            makeRoom (1);
        text[used++] = byte;
        return true;
    }

    /** The text written so far; the stream is done with it afterwards. */
    std::string& getText()
    {
        text.resize (used);
        return text;
    }

private:
    void makeRoom (size_t numBytes)
    {
        if (used + numBytes > text.size())
            text.resize (std::max (text.size() * 2, used + numBytes));
    }

    std::string text;
    size_t used = 0;
};
