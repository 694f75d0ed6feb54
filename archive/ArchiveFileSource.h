#pragma once

#include "FileDescriptor.h"

#include <juce_core/juce_core.h>

#include <zip.h>

#include <vector>

/**
    An archive file as libzip reads it, through a block cache with pread():
    libzip's own file source seeks before each of its small reads, which for
    an archive of many small files costs a dozen system calls an entry and
    each time it is read. Here a read within the cached block costs none,
    and a seek is only a number.

    The archive must not change while it is read; a restore reads an archive
    that nothing else writes.
*/
class ArchiveFileSource
{
public:
    /** A source for zip_open_from_source() on the file opened by name, or
        null with error set when it cannot be opened. libzip owns the
        source it returns (zip_source_free(), or the archive that takes it). */
    static zip_source_t* create (const juce::File& file, zip_error_t& error);

private:
    explicit ArchiveFileSource (FileDescriptor opened, zip_uint64_t fileSize);

    static zip_int64_t callback (void* state, void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t read (void* data, zip_uint64_t length);
    zip_int64_t fail (int zipError, int systemError);

    static constexpr size_t blockSize = size_t (1) << 18;

    FileDescriptor file;
    zip_uint64_t size = 0, position = 0;
    std::vector<char> block;
    zip_uint64_t blockStart = 0;
    zip_error_t error;
};
