#pragma once

#include <juce_core/juce_core.h>

/**
    Reads a file that must be a regular file. It is opened without blocking
    and checked after opening, so a FIFO or a device that took a listed
    file's place is refused instead of hanging the run for ever.
*/
class RegularFileInputStream : public juce::InputStream
{
public:
    explicit RegularFileInputStream (const juce::File& file);
    ~RegularFileInputStream() override;

    /** Ok when the file is open; otherwise why not ("not a regular file", ...). */
    const juce::Result& getStatus() const { return status; }

    /** Whether the file was simply not there (gone since it was listed). */
    bool wasMissing() const { return missing; }

    /** Whether something other than a regular file (a folder, FIFO, device) has the name. */
    bool wasNotRegular() const { return notRegular; }

    /** The file's mode bits as the open file has them (type and permissions). */
    unsigned getMode() const { return mode; }

    juce::int64 getTotalLength() override { return length; }
    bool isExhausted() override { return exhausted; }
    int read (void* destination, int maxBytes) override;
    juce::int64 getPosition() override { return position; }
    bool setPosition (juce::int64 newPosition) override;

private:
    int descriptor = -1;
    juce::Result status = juce::Result::ok();
    bool missing = false, notRegular = false, exhausted = false;
    unsigned mode = 0;
    juce::int64 length = 0, position = 0;

    JUCE_DECLARE_NON_COPYABLE (RegularFileInputStream)
};
