#include "FileState.h"

#include "WindowsFiles.h"

FileState FileState::of (const juce::File& file, bool followLinks)
{
    // Attributes alone: no read access is needed to look at a file.
    const auto path = WindowsFiles::longPath (file);
    const FileDescriptor opened (CreateFileW (path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
    return opened.isOpen() ? WindowsFiles::stateOf (opened.get()) : FileState();
}
