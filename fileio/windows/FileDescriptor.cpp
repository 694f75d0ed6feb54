#include "FileDescriptor.h"

#include "WindowsFiles.h"

int FileDescriptor::reset()
{
    if (! isOpen())
        return 0;
    return CloseHandle (std::exchange (descriptor, none)) ? 0 : -1;
}

FileDescriptor FileDescriptor::openForReading (const juce::File& file)
{
    const auto path = WindowsFiles::longPath (file);
    return FileDescriptor (CreateFileW (path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

int64_t FileDescriptor::read (void* destination, size_t size) const
{
    DWORD got = 0;
    const auto asked = (DWORD) std::min<size_t> (size, 1u << 30);
    if (! ReadFile (descriptor, destination, asked, &got, nullptr))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return (int64_t) got;
}

int64_t FileDescriptor::write (const void* source, size_t size) const
{
    DWORD written = 0;
    const auto given = (DWORD) std::min<size_t> (size, 1u << 30);
    if (! WriteFile (descriptor, source, given, &written, nullptr))
        return -1;
    return (int64_t) written;
}

bool FileDescriptor::seek (int64_t offset) const
{
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx (descriptor, to, nullptr, FILE_BEGIN) != 0;
}

bool FileDescriptor::sync() const
{
    return FlushFileBuffers (descriptor) != 0;
}

FileState FileDescriptor::state() const
{
    return WindowsFiles::stateOf (descriptor);
}

juce::String FileDescriptor::lastError()
{
    return WindowsFiles::reasonOf (GetLastError());
}

bool FileDescriptor::lastErrorWasMissing()
{
    const auto error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int64_t FileDescriptor::readAt (int64_t offset, void* destination, size_t size) const
{
    // An offset given with the read leaves no shared position to race for.
    OVERLAPPED at {};
    at.Offset = (DWORD) (offset & 0xFFFFFFFF);
    at.OffsetHigh = (DWORD) (offset >> 32);
    DWORD got = 0;
    if (! ReadFile (descriptor, destination, (DWORD) std::min<size_t> (size, 1u << 30), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return (int64_t) got;
}
