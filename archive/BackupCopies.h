#pragma once

#include "FileDescriptor.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

#include <mutex>
#include <string>

/**
    A backup archive just written, opened again for reading the copies it
    stores, so that a run need not read a file a second time that is
    unchanged since its backup. Reads on several threads at once are fine.

    A run reads the copies in the order they were stored, so small ones are
    taken from a window of the archive read in one call: one system call
    for a few dozen files instead of one each.
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

    /** How many bytes of the archive one read of the window takes. */
    static constexpr size_t windowSize = 512 * 1024;

    explicit BackupCopies (FileDescriptor archiveForReading)
        : archive (std::move (archiveForReading)) {}

    /** The stored bytes, checked against their CRC. */
    juce::Result read (const Copy& copy, std::string& bytes) const;

private:
    /** Reads up to size bytes at offset; fewer only at the archive's end. */
    bool readAt (juce::int64 offset, char* destination, size_t size, size_t& got) const;
    bool readAlone (const Copy& copy, std::string& bytes) const;
    bool copyThroughWindow (const Copy& copy, std::string& bytes) const;
    bool windowHolds (const Copy& copy) const;

    FileDescriptor archive;
    mutable std::mutex windowLock; // held to read the window and to copy from it
    mutable std::string window;
    mutable juce::int64 windowStart = 0;
};
