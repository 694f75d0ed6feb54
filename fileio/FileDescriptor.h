#pragma once

#include "FileState.h"

#include <cstddef>
#include <cstdint>
#include <utility>

/**
    An open file with one owner, closed when the owner goes: a descriptor on
    POSIX systems, a handle on Windows.
*/
class FileDescriptor
{
public:
#if defined(_WIN32)
    using Native = void*; // a HANDLE
    static inline Native const none = reinterpret_cast<Native> (static_cast<intptr_t> (-1));
#else
    using Native = int;
    static constexpr Native none = -1;
#endif

    FileDescriptor() = default;
    explicit FileDescriptor (Native descriptorToOwn)
        : descriptor (descriptorToOwn) {}
    ~FileDescriptor()
    {
        reset();
    }

    FileDescriptor (FileDescriptor&& other) noexcept
        : descriptor (std::exchange (other.descriptor, none)) {}
    FileDescriptor& operator= (FileDescriptor&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            descriptor = std::exchange (other.descriptor, none);
        }
        return *this;
    }
    FileDescriptor (const FileDescriptor&) = delete;
    FileDescriptor& operator= (const FileDescriptor&) = delete;

    Native get() const
    {
        return descriptor;
    }
#if defined(_WIN32)
    bool isOpen() const
    {
        return descriptor != none && descriptor != nullptr;
    }
#else
    bool isOpen() const
    {
        return descriptor >= 0;
    }
#endif

    /** Hands the descriptor over; this object no longer closes it. */
    Native release()
    {
        return std::exchange (descriptor, none);
    }

    /** Closes the descriptor and returns 0, or -1 when closing failed (a
        write the system had not finished failed). 0 when none was open. */
    int reset();

    /** Opens a file by name for reading, following links, without waiting
        (a FIFO or device opens at once and is refused by its state). */
    static FileDescriptor openForReading (const juce::File& file);

    /** Reads up to size bytes at the file's position; 0 at its end, -1 on a failure. */
    int64_t read (void* destination, size_t size) const;

    /** Writes up to size bytes at the file's position; -1 on a failure. */
    int64_t write (const void* source, size_t size) const;

    bool seek (int64_t offset) const;

    /** Makes what was written reach the disk. */
    bool sync() const;

    /** What the open file is now. */
    FileState state() const;

    /** Why the last call on this thread failed, in words. */
    static juce::String lastError();

    /** Whether the last call failed because nothing had the name. */
    static bool lastErrorWasMissing();

    /** Reads up to size bytes at offset without moving a shared position,
        so that threads may read one file at once; fewer at the file's end.
        -1 on a failure. */
    int64_t readAt (int64_t offset, void* destination, size_t size) const;

private:
    Native descriptor = none;
};
