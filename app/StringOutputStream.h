#pragma once

#include <juce_core/juce_core.h>

#include <string>

/** An output stream into a std::string. The framework's XML writer sends most
    of a document one byte at a time; appending to a string takes a fraction
    of what a MemoryOutputStream spends per byte, and the text needs no copy
    afterwards. */
class StringOutputStream : public juce::OutputStream
{
public:
    explicit StringOutputStream (size_t expectedSize) { text.reserve (expectedSize); }

    void flush() override {}
    juce::int64 getPosition() override { return (juce::int64) text.size(); }

    /** Only the current end is a valid position: the stream is append-only. */
    bool setPosition (juce::int64 position) override { return position == getPosition(); }

    bool write (const void* data, size_t numBytes) override
    {
        text.append (static_cast<const char*> (data), numBytes);
        return true;
    }

    bool writeByte (char byte) override
    {
        text.push_back (byte);
        return true;
    }

    std::string& getText() { return text; }

private:
    std::string text;
};
