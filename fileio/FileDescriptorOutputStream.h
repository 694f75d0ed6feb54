#pragma once

#include "FileDescriptor.h"

#include <juce_core/juce_core.h>

/**
    Writes to an open file descriptor, unbuffered, so that every write
    reports its own result. The stream does not own the descriptor, and
    leaves syncing it to the disk to its owner.
*/
class FileDescriptorOutputStream : public juce::OutputStream
{
public:
    explicit FileDescriptorOutputStream (FileDescriptor::Native descriptor);

    bool write (const void* data, size_t numBytes) override;
    void flush() override;
    bool setPosition (juce::int64 newPosition) override;
    juce::int64 getPosition() override { return position; }

    /** Ok until a write, seek or sync fails. */
    const juce::Result& getStatus() const { return status; }

private:
    FileDescriptor::Native descriptor;
    juce::int64 position = 0;
    juce::Result status = juce::Result::ok();

    JUCE_DECLARE_NON_COPYABLE (FileDescriptorOutputStream)
};
