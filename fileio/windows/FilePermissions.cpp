#include "FilePermissions.h"

#include "FolderAccess.h"

// On Windows a copy is created with a security descriptor of its own that
// lets only its user and the system in (see ExclusiveFile): who could read
// the copied files does not widen it, so nothing needs counting here.

void FilePermissions::add (const FolderAccess&, const std::string&) {}

void FilePermissions::add (const FolderAccess&, const std::string&, const FileState&) {}

unsigned FilePermissions::widest() const
{
    return 0600;
}

unsigned FilePermissions::forGroup (unsigned) const
{
    return 0600;
}

bool FilePermissions::groupMayRead (const Copied&, unsigned)
{
    return false;
}

bool FilePermissions::othersMayRead (const Copied&, unsigned)
{
    return false;
}
