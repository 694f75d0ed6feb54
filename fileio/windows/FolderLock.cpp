#include "FolderLock.h"

#include "RealPath.h"
#include "WindowsFiles.h"

namespace
{
    constexpr int shared = 0, exclusive = LOCKFILE_EXCLUSIVE_LOCK;

    /** Where the lock files live: one for each folder ever locked, named by
        its real path without letter case, in a place every user of the
        machine may write, so that runs of any user exclude each other and no
        file is made in the folders themselves. */
    juce::File lockFolder()
    {
        auto base = juce::SystemStats::getEnvironmentVariable ("ProgramData", {});
        const auto folder = (base.isNotEmpty() ? juce::File (base) : juce::File::getSpecialLocation (juce::File::tempDirectory))
                                .getChildFile ("Quillmere")
                                .getChildFile ("locks");
        folder.createDirectory();
        return folder;
    }

    FileDescriptor openLockFile (const juce::String& realPath)
    {
        const auto name = juce::String::toHexString (realPath.toUpperCase().hashCode64()) + ".lock";
        const auto path = WindowsFiles::longPath (lockFolder().getChildFile (name));
        return FileDescriptor (CreateFileW (path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
}

juce::Result FolderLock::openChain (const juce::File& folder)
{
    chain.clear();
    const auto real = RealPath::of (folder);
    if (real.empty() || ! real.is_absolute())
        return juce::Result::fail ("cannot open the folder");

    // From the drive's root down to the folder: shared above, exclusive on it.
    std::vector<std::filesystem::path> way;
    for (auto at = real; ! at.empty(); at = at.parent_path())
    {
        way.insert (way.begin(), at);
        if (at == at.root_path())
            break;
    }
    for (size_t i = 0; i < way.size(); ++i)
    {
        auto lockFile = openLockFile (juce::String (way[i].wstring().c_str()));
        if (! lockFile.isOpen())
            return WindowsFiles::failure ("cannot lock the folder", GetLastError());
        chain.push_back ({ std::move (lockFile), i + 1 == way.size() ? exclusive : shared });
    }
    return juce::Result::ok();
}

FolderLock::Attempt FolderLock::tryLock (const FileDescriptor& descriptor, int operation)
{
    OVERLAPPED whole {};
    if (LockFileEx (descriptor.get(), (DWORD) operation | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole))
        return Attempt::taken;
    const auto error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Attempt::busy : Attempt::failed;
}
