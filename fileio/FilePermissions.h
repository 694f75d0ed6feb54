#pragma once

#include "FileState.h"

#include <string>
#include <vector>

class FolderAccess;

/**
    The permission bits of a new file that holds copies of other files'
    contents (a backup, a log): it must never let anyone read what the
    originals kept from them.

    The copy belongs to the user who runs the tool and is read and written
    by them. Its group may read it only when every copied file belongs to
    the copy's group and lets its group read, and every folder on the way
    to it, below the run's folder, lets the copy's group search it. Others
    may read it only when every copied file lets others (and its own group)
    read, and every folder on the way lets everyone search it. A file whose
    way cannot be looked at counts as private, and so does one that has, or
    that a folder on its way has, an access list beyond its permission bits.
*/
class FilePermissions
{
public:
    /** Notes one file the copy will hold, at relative in folder. */
    void add (const FolderAccess& folder, const std::string& relative);

    /** The same for a file whose state is known already. */
    void add (const FolderAccess& folder, const std::string& relative, const FileState& state);

    /** The bits to create the copy with, before its group is known. */
    unsigned widest() const;

    /** The bits the copy may keep once it has its group. */
    unsigned forGroup (unsigned copyGroup) const;

private:
    struct Owned
    {
        unsigned mode = 0, group = 0;
    };
    struct Copied
    {
        Owned file;
        std::vector<Owned> folders;
        bool reachable = false;
    };

    static bool groupMayRead (const Copied& copied, unsigned copyGroup);
    static bool othersMayRead (const Copied& copied, unsigned copyGroup);

    std::vector<Copied> files;
};
