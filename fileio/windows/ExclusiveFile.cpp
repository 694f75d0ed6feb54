#include "ExclusiveFile.h"

#include "PrivateSecurity.h"
#include "WindowsFiles.h"

namespace
{
    constexpr NTSTATUS statusObjectNameCollision = (NTSTATUS) 0xC0000035L;

    std::string leafOf (const juce::File& file)
    {
        return file.getFileName().toStdString();
    }

    void deleteOnClose (HANDLE file)
    {
        FILE_DISPOSITION_INFO disposition { TRUE };
        SetFileInformationByHandle (file, FileDispositionInfo, &disposition, sizeof disposition);
    }
}

ExclusiveFile::~ExclusiveFile()
{
    if (descriptor != FileDescriptor::none)
    {
        if (! published)
            deleteOnClose (descriptor);
        CloseHandle (descriptor);
    }
}

juce::Result ExclusiveFile::create (const juce::File& folder, unsigned permissions)
{
    const auto path = WindowsFiles::longPath (folder);
    const FileDescriptor opened (CreateFileW (path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (! opened.isOpen())
        return WindowsFiles::failure ("cannot open the folder " + folder.getFullPathName(), GetLastError());
    return create (opened.get(), folder, permissions);
}

juce::Result ExclusiveFile::narrowPermissions (unsigned)
{
    // Created for its user alone already.
    return juce::Result::ok();
}

unsigned ExclusiveFile::getGroup() const
{
    return 0;
}

FileState ExclusiveFile::getState() const
{
    return descriptor != FileDescriptor::none ? WindowsFiles::stateOf (descriptor) : FileState();
}

juce::Result ExclusiveFile::create (FileDescriptor::Native folder, const juce::File& folderName, unsigned)
{
    HANDLE duplicate = nullptr;
    if (! DuplicateHandle (GetCurrentProcess(), folder, GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return WindowsFiles::failure ("cannot open the folder " + folderName.getFullPathName(), GetLastError());
    folderDescriptor = FileDescriptor (duplicate);

    // Whatever the folder would give it, only its user may read it: the file
    // holds copies of others.
    const PrivateSecurity security;
    if (security.get() == nullptr)
        return WindowsFiles::failure ("cannot make the new file private", GetLastError());
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto candidate = temporaryName (folderName);
        auto opened = WindowsFiles::openRelative (folderDescriptor.get(), leafOf (candidate), GENERIC_READ | GENERIC_WRITE | DELETE,
                                                  FILE_CREATE, FILE_NON_DIRECTORY_FILE, security.get());
        if (opened.ok())
        {
            descriptor = opened.handle.release();
            temporary = candidate;
            return juce::Result::ok();
        }
        if (opened.status != statusObjectNameCollision)
            return WindowsFiles::failure ("cannot create a new file in " + folderName.getFullPathName(), WindowsFiles::errorOf (opened.status));
    }
    return juce::Result::fail ("cannot create a new file in " + folderName.getFullPathName());
}

juce::Result ExclusiveFile::publish (const std::function<juce::File (int)>& nameForAttempt, juce::File& publishedAs)
{
    jassert (descriptor != FileDescriptor::none);
    if (! FlushFileBuffers (descriptor))
        return WindowsFiles::failure ("cannot sync " + temporary.getFullPathName() + " to the disk", GetLastError());

    // Renamed by its handle, which stays open until then: nothing can take
    // the temporary name's place in between.
    for (int attempt = 1; attempt < 100000; ++attempt)
    {
        const auto candidate = nameForAttempt (attempt);
        const auto status = WindowsFiles::renameTo (descriptor, folderDescriptor.get(), leafOf (candidate), false);
        if (NT_SUCCESS (status))
        {
            published = true;
            publishedAs = candidate;
            CloseHandle (std::exchange (descriptor, FileDescriptor::none));
            return juce::Result::ok();
        }
        if (status != statusObjectNameCollision)
            return WindowsFiles::failure ("cannot name the new file " + candidate.getFullPathName(), WindowsFiles::errorOf (status));
    }
    return juce::Result::fail ("no free name for the new file in " + temporary.getParentDirectory().getFullPathName());
}

int ExclusiveFile::renameWithoutReplacing (FileDescriptor::Native folder, const char* from, const char* to)
{
    auto opened = WindowsFiles::openRelative (folder, from, DELETE, FILE_OPEN, 0);
    if (! opened.ok())
        return -1;
    return NT_SUCCESS (WindowsFiles::renameTo (opened.handle.get(), folder, to, false)) ? 0 : -1;
}
