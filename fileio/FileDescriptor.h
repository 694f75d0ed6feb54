#pragma once

#include <utility>

/** An open file descriptor with one owner: closed when the owner goes. */
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor (int descriptorToOwn)
        : descriptor (descriptorToOwn) {}
    ~FileDescriptor() { reset(); }

    FileDescriptor (FileDescriptor&& other) noexcept
        : descriptor (std::exchange (other.descriptor, -1)) {}
    FileDescriptor& operator= (FileDescriptor&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            descriptor = std::exchange (other.descriptor, -1);
        }
        return *this;
    }
    FileDescriptor (const FileDescriptor&) = delete;
    FileDescriptor& operator= (const FileDescriptor&) = delete;

    int get() const { return descriptor; }
    bool isOpen() const { return descriptor >= 0; }

    /** Hands the descriptor over; this object no longer closes it. */
    int release() { return std::exchange (descriptor, -1); }

    /** Closes the descriptor and returns close()'s result (0 when none was open). */
    int reset();

private:
    int descriptor = -1;
};
