#include "FilePermissions.h"

#include "FolderAccess.h"

#include <algorithm>
#include <sys/stat.h>

void FilePermissions::add (const FolderAccess& folder, const std::string& relative)
{
    add (folder, relative, folder.stateOf (relative));
}

void FilePermissions::add (const FolderAccess& folder, const std::string& relative, const FileState& state)
{
    // A file that is not there holds nothing to keep private.
    if (state.kind == FileState::Kind::missing && ! relative.empty())
        return;

    Copied copied;
    std::vector<FileState> folders;
    copied.reachable = state.kind == FileState::Kind::regular && folder.foldersOnTheWay (relative, folders);
    copied.file = { state.mode, state.group };
    for (const auto& each : folders)
        copied.folders.push_back ({ each.mode, each.group });
    // An access list may keep out someone the bits let in: the copy then
    // cannot tell who that is and stays its owner's. Only a file the bits
    // open to others needs the look.
    if (copied.reachable && (state.mode & (S_IRGRP | S_IROTH)) != 0 && folder.accessListOnTheWay (relative))
        copied.reachable = false;
    files.push_back (std::move (copied));
}

bool FilePermissions::groupMayRead (const Copied& copied, unsigned copyGroup)
{
    if (! copied.reachable || copied.file.group != copyGroup || (copied.file.mode & S_IRGRP) == 0)
        return false;

    // A member of the copy's group searches a folder of another group as one
    // of its members or as anybody else: both must be allowed.
    return std::all_of (copied.folders.begin(), copied.folders.end(), [copyGroup] (const Owned& folder) {
        const unsigned needed = folder.group == copyGroup ? S_IXGRP : S_IXGRP | S_IXOTH;
        return (folder.mode & needed) == needed;
    });
}

bool FilePermissions::othersMayRead (const Copied& copied, unsigned copyGroup)
{
    // Others of the copy may belong to the file's group or a folder's group.
    const unsigned neededOfFile = copied.file.group == copyGroup ? S_IROTH : S_IROTH | S_IRGRP;
    if (! copied.reachable || (copied.file.mode & neededOfFile) != neededOfFile)
        return false;

    return std::all_of (copied.folders.begin(), copied.folders.end(), [] (const Owned& folder) {
        return (folder.mode & (S_IXGRP | S_IXOTH)) == (S_IXGRP | S_IXOTH);
    });
}

unsigned FilePermissions::widest() const
{
    // The group of the copy is not known yet: each bit stays only where the
    // files allow it for some group; forGroup() narrows it afterwards.
    unsigned permissions = S_IRUSR | S_IWUSR;
    if (std::all_of (files.begin(), files.end(), [] (const Copied& c) { return c.reachable && (c.file.mode & S_IRGRP) != 0; }))
        permissions |= S_IRGRP;
    if (std::all_of (files.begin(), files.end(), [] (const Copied& c) { return c.reachable && (c.file.mode & S_IROTH) != 0; }))
        permissions |= S_IROTH;
    return permissions;
}

unsigned FilePermissions::forGroup (unsigned copyGroup) const
{
    unsigned permissions = S_IRUSR | S_IWUSR;
    if (std::all_of (files.begin(), files.end(), [copyGroup] (const Copied& c) { return groupMayRead (c, copyGroup); }))
        permissions |= S_IRGRP;
    if (std::all_of (files.begin(), files.end(), [copyGroup] (const Copied& c) { return othersMayRead (c, copyGroup); }))
        permissions |= S_IROTH;
    return permissions;
}
