#pragma once

#include "FileDescriptor.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

/**
    Reads a file that must be a regular file. It is opened without blocking
    and checked after opening, so a FIFO or a device that took a listed
    file's place is refused instead of hanging the run for ever.
*/
class RegularFileInputStream : public juce::InputStream
{
public:
    /** Opens file by name, following links. */
    explicit RegularFileInputStream (const juce::File& file);

    /** Reads an open file, which it then owns; it is checked as above. */
    explicit RegularFileInputStream (FileDescriptor opened);

    /** A stream that failed before it could open anything: why, whether the
        file was simply not there, and whether something else has its name
        (a folder, a link, another file than the one expected), and what was
        found there if it was looked at. */
    RegularFileInputStream (const juce::Result& failure, bool wasMissing, bool wasNotRegular = false, const FileState& found = {});

    ~RegularFileInputStream() override;

    /** Ok when the file is open; otherwise why not ("not a regular file", ...). */
    const juce::Result& getStatus() const { return status; }

    /** Whether the file was simply not there (gone since it was listed). */
    bool wasMissing() const { return missing; }

    /** Whether something other than the regular file wanted (a folder, FIFO,
        device, link, another file) has the name. */
    bool wasNotRegular() const { return notRegular; }

    /** The file's mode bits as the open file has them (type and permissions). */
    unsigned getMode() const { return mode; }

    /** The open file's state when it was opened (or what had the name, for
        a stream that refused it). */
    const FileState& getState() const { return state; }

    juce::int64 getTotalLength() override { return length; }
    bool isExhausted() override { return exhausted; }
    int read (void* destination, int maxBytes) override;
    juce::int64 getPosition() override { return position; }
    bool setPosition (juce::int64 newPosition) override;

    /** Hands the open file over (to read it at positions of one's own);
        the stream reads nothing after. */
    FileDescriptor takeDescriptor() { return std::move (descriptor); }

    /** The whole rest of the file. A file that grew since it was opened is
        read on to its end. */
    juce::Result readAll (std::string& bytes);

private:
    void checkOpened();

    FileDescriptor descriptor;
    juce::Result status = juce::Result::ok();
    bool missing = false, notRegular = false, exhausted = false;
    bool reachedEnd = false; // a short read at the end: the next read would give nothing
    unsigned mode = 0;
    FileState state;
    juce::int64 length = 0, position = 0;

    JUCE_DECLARE_NON_COPYABLE (RegularFileInputStream)
};
