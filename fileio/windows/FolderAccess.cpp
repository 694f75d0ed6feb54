#include "FolderAccess.h"

#include "DisplayName.h"
#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
#include "FileNameText.h"
#include "WindowsFiles.h"
#include "WindowsNames.h"

#include <aclapi.h>
#include <cstring>
#include <limits>
#include <thread>

namespace
{
    constexpr NTSTATUS statusObjectNameNotFound = (NTSTATUS) 0xC0000034L;
    constexpr NTSTATUS statusObjectPathNotFound = (NTSTATUS) 0xC000003AL;
    constexpr NTSTATUS statusObjectNameCollision = (NTSTATUS) 0xC0000035L;
    constexpr NTSTATUS statusAccessDenied = (NTSTATUS) 0xC0000022L;
    constexpr NTSTATUS statusReparsePointEncountered = (NTSTATUS) 0xC000050BL; // refused by OBJ_DONT_REPARSE
    constexpr int fileLinkInformation = 11;

    /** FILE_LINK_INFORMATION, which MinGW's headers lack. */
    struct FILE_LINK_INFORMATION_LAYOUT
    {
        BOOLEAN replaceIfExists;
        HANDLE rootDirectory;
        ULONG fileNameLength;
        WCHAR fileName[1];
    };

    std::string joined (const std::vector<std::string>& parts, size_t count)
    {
        std::string path;
        for (size_t i = 0; i < count; ++i)
            path += (i > 0 ? "/" : "") + parts[i];
        return path;
    }

    constexpr ACCESS_MASK folderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

    juce::String shown (const std::string& relative)
    {
        return DisplayName::of (FileNameText::fromBytes (relative));
    }

    bool isMissing (NTSTATUS status)
    {
        return status == statusObjectNameNotFound || status == statusObjectPathNotFound;
    }

    juce::Result failureOf (const juce::String& what, NTSTATUS status)
    {
        return WindowsFiles::failure (what, WindowsFiles::errorOf (status));
    }

    /** A temporary file in a folder, deleted again unless kept. */
    struct TemporaryFile
    {
        FileDescriptor file;
        bool kept = false;

        ~TemporaryFile()
        {
            if (file.isOpen() && ! kept)
            {
                FILE_DISPOSITION_INFO disposition { TRUE };
                SetFileInformationByHandle (file.get(), FileDispositionInfo, &disposition, sizeof disposition);
            }
        }
    };

    /** The security descriptor of an open file (owner, group and access
        list), self-relative, to give a new version exactly as the old one. */
    struct Security
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ~Security() { LocalFree (descriptor); }

        bool readFrom (HANDLE file)
        {
            return GetSecurityInfo (file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, nullptr, nullptr, &descriptor)
                == ERROR_SUCCESS;
        }
    };

    /** Retries what another program's open file refuses, for up to about 70 ms. */
    template<class Attempt>
    NTSTATUS retried (Attempt attempt)
    {
        NTSTATUS status = 0;
        for (const int delay : { 0, 1, 10, 20, 40 })
        {
            if (delay > 0)
                std::this_thread::sleep_for (std::chrono::milliseconds (delay));
            status = attempt();
            // Without POSIX semantics, replacing a file someone holds open is refused as access denied.
            if (! WindowsFiles::isSharingViolation (status) && status != statusAccessDenied)
                break;
        }
        return status;
    }
}

FolderAccess::FolderAccess (const juce::File& folderToOpen)
    : folder (folderToOpen)
{
    // The folder itself is opened by its name, links followed: the user named it.
    const auto path = WindowsFiles::longPath (folder);
    descriptor = FileDescriptor (CreateFileW (path.c_str(), folderAccess | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (! descriptor.isOpen())
        opened = WindowsFiles::failure ("cannot open the folder " + DisplayName::of (folder), GetLastError());
}

bool FolderAccess::kernelResolvesBeneath()
{
    return true; // every name is opened relative to its folder's handle
}

std::string FolderAccess::refusalOfName (const std::string& part)
{
    return WindowsNames::refusalOf (part);
}

std::string FolderAccess::nameKey (const std::string& path)
{
    return WindowsNames::keyOf (path);
}

juce::uint64 FolderAccess::freeSpaceIn (const juce::File& folder)
{
    ULARGE_INTEGER available;
    if (! GetDiskFreeSpaceExW (WindowsFiles::longPath (folder).c_str(), &available, nullptr, nullptr))
        return std::numeric_limits<juce::uint64>::max();
    return available.QuadPart;
}

juce::Result FolderAccess::syncFileSystem() const
{
    // Flushing a volume needs administrator rights: each new version is
    // flushed before it takes its name instead.
    return juce::Result::ok();
}

FolderAccess::Parent FolderAccess::openParent (const std::string& relative, bool createFolders) const
{
    Parent parent;
    std::vector<std::string> parts;
    if (opened.failed())
    {
        parent.result = opened;
        return parent;
    }
    if (! splitPath (relative, parts))
    {
        parent.result = juce::Result::fail (shown (relative) + " is not a plain path below the folder");
        return parent;
    }
    for (const auto& part : parts)
        if (const auto refusal = WindowsNames::refusalOf (part); ! refusal.empty())
        {
            parent.result = juce::Result::fail (shown (relative) + " cannot be a name on Windows: " + juce::String (refusal) + ": not changed");
            return parent;
        }

    parent.leaf = parts.back();
    parent.descriptor = descriptor.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        auto next = WindowsFiles::openRelative (parent.descriptor, parts[i], folderAccess, createFolders ? FILE_OPEN_IF : FILE_OPEN,
                                                FILE_DIRECTORY_FILE);
        const auto where = shown (joined (parts, i + 1));
        if (next.status == statusReparsePointEncountered)
        {
            parent.result = juce::Result::fail ("the folder " + where + " on its way is a link: not changed");
            return parent;
        }
        if (! next.ok())
        {
            parent.folderMissing = isMissing (next.status);
            parent.result = parent.folderMissing ? juce::Result::fail ("the folder " + where + " on its way is missing")
                                                 : failureOf ("cannot open the folder " + where, next.status);
            return parent;
        }
        // Opened without following it: a link or junction is refused, never entered.
        const auto kind = WindowsFiles::stateOf (next.handle.get()).kind;
        if (kind != FileState::Kind::folder)
        {
            parent.result = juce::Result::fail (kind == FileState::Kind::link ? "the folder " + where + " on its way is a link: not changed"
                                                                              : where + " on its way is not a folder: not changed");
            return parent;
        }
        parent.owned = std::move (next.handle);
        parent.descriptor = parent.owned.get();
    }
    return parent;
}

juce::Result FolderAccess::checkTarget (const Parent& parent, const FileState* expected, FileState& current) const
{
    current = {};
    auto target = WindowsFiles::openRelative (parent.descriptor, parent.leaf, FILE_READ_ATTRIBUTES, FILE_OPEN, 0);
    if (target.ok())
        current = WindowsFiles::stateOf (target.handle.get());
    else if (target.status == statusReparsePointEncountered)
        current.kind = FileState::Kind::link;
    else if (! isMissing (target.status))
        return failureOf ("cannot look at the file", target.status);
    return judgeTarget (expected, current);
}

FileState FolderAccess::stateOf (const std::string& relative) const
{
    FileState state;
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
    {
        // A folder on the way that is a link, or not a folder, makes the
        // name one that cannot be reached: it counts as a link.
        if (! parent.folderMissing && parent.descriptor != FileDescriptor::none)
            state.kind = FileState::Kind::link;
        return state;
    }
    if (auto target = WindowsFiles::openRelative (parent.descriptor, parent.leaf, FILE_READ_ATTRIBUTES, FILE_OPEN, 0); target.ok())
        state = WindowsFiles::stateOf (target.handle.get());
    else if (target.status == statusReparsePointEncountered)
        state.kind = FileState::Kind::link;
    return state;
}

bool FolderAccess::foldersOnTheWay (const std::string& relative, std::vector<FileState>& folders) const
{
    folders.clear();
    std::vector<std::string> parts;
    if (opened.failed() || ! splitPath (relative, parts))
        return false;
    FileDescriptor holder;
    auto current = descriptor.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        auto next = WindowsFiles::openRelative (current, parts[i], folderAccess, FILE_OPEN, FILE_DIRECTORY_FILE);
        if (! next.ok())
            return false;
        const auto state = WindowsFiles::stateOf (next.handle.get());
        if (state.kind != FileState::Kind::folder)
            return false;
        folders.push_back (state);
        holder = std::move (next.handle);
        current = holder.get();
    }
    return true;
}

bool FolderAccess::linkOnTheWay (const std::string& relative) const
{
    std::vector<std::string> parts;
    if (opened.failed() || ! splitPath (relative, parts))
        return true;
    FileDescriptor holder;
    auto current = descriptor.get();
    for (const auto& part : parts)
    {
        auto next = WindowsFiles::openRelative (current, part, FILE_READ_ATTRIBUTES | FILE_TRAVERSE, FILE_OPEN, 0);
        if (! next.ok())
            return next.status == statusReparsePointEncountered || ! isMissing (next.status);
        const auto kind = WindowsFiles::stateOf (next.handle.get()).kind;
        if (kind == FileState::Kind::link)
            return true;
        if (kind != FileState::Kind::folder)
            return false;
        holder = std::move (next.handle);
        current = holder.get();
    }
    return false;
}

bool FolderAccess::accessListOnTheWay (const std::string&) const
{
    // Copies are private to their user on Windows whatever the lists say.
    return false;
}

FileDescriptor FolderAccess::openLeafForReading (const Parent& parent, bool& missing, juce::Result& failure) const
{
    auto file = WindowsFiles::openRelative (parent.descriptor, parent.leaf, GENERIC_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    if (! file.ok())
    {
        missing = isMissing (file.status);
        failure = failureOf ("cannot open the file", file.status);
    }
    return std::move (file.handle);
}

juce::Result FolderAccess::replaceContents (const std::string& relative, const FileState* expected, const ContentWriter& write,
                                            const WriteOptions& options) const
{
    const auto parent = openParent (relative, options.createFolders);
    if (parent.result.failed())
        return parent.result;

    FileState current;
    if (auto problem = stateBeforeWriting (parent, expected, options, current); problem.failed())
        return problem;

    // The new version is made with the old one's security descriptor, so it
    // is never readable by more people than the original was, and gets its
    // attributes (hidden, system, archive) before it takes the name.
    const bool exists = current.exists();
    Security security;
    FILE_BASIC_INFO attributes {};
    if (exists)
    {
        auto old = WindowsFiles::openRelative (parent.descriptor, parent.leaf, READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_OPEN,
                                               FILE_NON_DIRECTORY_FILE);
        if (! old.ok())
            return failureOf ("cannot look at the file", old.status);
        if (! security.readFrom (old.handle.get()))
            return WindowsFiles::failure ("cannot keep the file's security", GetLastError());
        GetFileInformationByHandleEx (old.handle.get(), FileBasicInfo, &attributes, sizeof attributes);
    }

    TemporaryFile temporary;
    for (int attempt = 0; attempt < 100 && ! temporary.file.isOpen(); ++attempt)
    {
        auto created = WindowsFiles::openRelative (parent.descriptor, ExclusiveFile::temporaryFileName().toStdString(),
                                                   GENERIC_READ | GENERIC_WRITE | DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE,
                                                   security.descriptor);
        if (! created.ok() && created.status != statusObjectNameCollision)
            return failureOf ("cannot create a temporary file beside it", created.status);
        temporary.file = std::move (created.handle);
    }
    if (! temporary.file.isOpen())
        return juce::Result::fail ("cannot create a temporary file beside it");

    {
        FileDescriptorOutputStream out (temporary.file.get());
        const auto written = write (out);
        if (written.failed() || out.getStatus().failed())
            return juce::Result::fail ("cannot write the new version ("
                                       + (out.getStatus().failed() ? out.getStatus().getErrorMessage() : written.getErrorMessage()) + ")");
    }
    if (exists)
    {
        FILE_BASIC_INFO kept {};
        kept.FileAttributes = attributes.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept.FileAttributes == 0)
            kept.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (! SetFileInformationByHandle (temporary.file.get(), FileBasicInfo, &kept, sizeof kept))
            return WindowsFiles::failure ("cannot keep the file's attributes", GetLastError());
    }
    // Windows has no flush of a whole volume for a user: every new version
    // reaches the disk before it takes the name, whatever was asked.
    if (! FlushFileBuffers (temporary.file.get()))
        return WindowsFiles::failure ("cannot sync the new version to the disk", GetLastError());

    if (auto problem = checkAfterWriting (parent, expected, current, options); problem.failed())
        return problem;

    const auto renamed = retried ([&] { return WindowsFiles::renameTo (temporary.file.get(), parent.descriptor, parent.leaf, exists); });
    if (! NT_SUCCESS (renamed))
    {
        if (renamed == statusObjectNameCollision)
            return juce::Result::fail ("a file took its place since it was listed: not changed");
        if (WindowsFiles::isSharingViolation (renamed) || renamed == statusAccessDenied)
            return juce::Result::fail ("it is in use by another program: not changed");
        return failureOf ("cannot replace the file with its new version", renamed);
    }
    temporary.kept = true;
    return juce::Result::ok();
}

juce::Result FolderAccess::linkAgain (const std::string& source, const std::string& alias, const FileState& aliasExpected) const
{
    const auto from = openParent (source, false);
    const auto to = openParent (alias, false);
    if (from.result.failed())
        return from.result;
    if (to.result.failed())
        return to.result;

    FileState current;
    if (auto problem = checkTarget (to, &aliasExpected, current); problem.failed())
        return problem;

    auto file = WindowsFiles::openRelative (from.descriptor, from.leaf, FILE_READ_ATTRIBUTES, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    if (! file.ok() || WindowsFiles::stateOf (file.handle.get()).kind != FileState::Kind::regular)
        return juce::Result::fail ("cannot link it again");

    // A hard link under the alias's name, made by the file's handle in one
    // step that replaces what the alias named: the alias is never missing.
    const auto name = WindowsFiles::wide (alias.substr (alias.find_last_of ('/') + 1));
    std::vector<char> buffer (sizeof (FILE_LINK_INFORMATION_LAYOUT) + name.size() * sizeof (wchar_t), 0);
    auto* link = reinterpret_cast<FILE_LINK_INFORMATION_LAYOUT*> (buffer.data());
    link->replaceIfExists = TRUE;
    link->rootDirectory = to.descriptor;
    link->fileNameLength = (ULONG) (name.size() * sizeof (wchar_t));
    std::memcpy (link->fileName, name.data(), link->fileNameLength);
    IO_STATUS_BLOCK io {};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion" // the class is missing from MinGW's enumeration
    const auto status = retried ([&] {
        return NtSetInformationFile (file.handle.get(), &io, link, (ULONG) buffer.size(), (FILE_INFORMATION_CLASS) fileLinkInformation);
    });
#pragma GCC diagnostic pop
    return NT_SUCCESS (status) ? juce::Result::ok() : failureOf ("cannot link it again", status);
}

juce::Result FolderAccess::removeFile (const std::string& relative, const FileState& expected) const
{
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
        return parent.result;
    auto file = WindowsFiles::openRelative (parent.descriptor, parent.leaf, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN, 0);
    // Only the file expected, judged by the handle that deletes it.
    const auto current = file.ok() ? WindowsFiles::stateOf (file.handle.get()) : FileState();
    if (auto problem = judgeTarget (&expected, current); problem.failed())
        return problem;
    FILE_DISPOSITION_INFO disposition { TRUE };
    if (! SetFileInformationByHandle (file.handle.get(), FileDispositionInfo, &disposition, sizeof disposition))
        return WindowsFiles::failure ("cannot remove it", GetLastError());
    return juce::Result::ok();
}

std::vector<std::string> FolderAccess::removeFiles (const std::string& relativeFolder,
                                                    const std::function<bool (const std::string& name)>& isWanted) const
{
    std::vector<std::string> removed;
    // A handle of its own: a listing's position belongs to its handle, and
    // the folder's may serve other threads meanwhile ("" opens the folder itself).
    const auto parent = relativeFolder.empty() ? Parent() : openParent (relativeFolder, false);
    if (parent.result.failed())
        return removed;
    auto sub = relativeFolder.empty() ? WindowsFiles::openRelative (descriptor.get(), {}, folderAccess, FILE_OPEN, FILE_DIRECTORY_FILE)
                                      : WindowsFiles::openRelative (parent.descriptor, parent.leaf, folderAccess, FILE_OPEN, FILE_DIRECTORY_FILE);
    if (! sub.ok() || WindowsFiles::stateOf (sub.handle.get()).kind != FileState::Kind::folder)
        return removed;
    const auto inside = sub.handle.get();

    std::vector<std::string> names;
    std::vector<char> buffer (64 * 1024);
    for (auto informationClass = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx (inside, informationClass, buffer.data(), (DWORD) buffer.size());
         informationClass = FileIdBothDirectoryInfo)
        for (size_t at = 0;;)
        {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*> (buffer.data() + at);
            const auto name = juce::String (entry->FileName, (size_t) entry->FileNameLength / sizeof (wchar_t)).toStdString();
            // A reparse point is judged by its handle below: a link is left, a placeholder is a file.
            if ((entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isWanted (name))
                names.push_back (name);
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }

    for (const auto& name : names)
    {
        auto file = WindowsFiles::openRelative (inside, name, DELETE | FILE_READ_ATTRIBUTES, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
        FILE_DISPOSITION_INFO disposition { TRUE };
        if (file.ok() && WindowsFiles::stateOf (file.handle.get()).kind == FileState::Kind::regular
            && SetFileInformationByHandle (file.handle.get(), FileDispositionInfo, &disposition, sizeof disposition))
            removed.push_back (relativeFolder.empty() ? name : relativeFolder + "/" + name);
    }
    return removed;
}
