#pragma once

#include "FileDescriptor.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

#include <string>

/**
    A backup archive just written, opened again for reading the copies it
    stores, so that a run need not read a file a second time that is
    unchanged since its backup. Reads on several threads at once are fine.
*/
class BackupCopies
{
public:
    /** Where a file's bytes went in the archive, and the state the file had
        when they were read from it. */
    struct Copy
    {
        juce::int64 offset = 0, size = 0;
        juce::uint32 crc = 0;
        FileState state;
    };

    explicit BackupCopies (FileDescriptor archiveForReading)
        : archive (std::move (archiveForReading)) {}

    /** The stored bytes, checked against their CRC. */
    juce::Result read (const Copy& copy, std::string& bytes) const;

private:
    FileDescriptor archive;
};
