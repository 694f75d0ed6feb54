#pragma once

#include <sys/stat.h>

/**
    What fstat says of a file: its kind, identity (device and inode), owner,
    permissions, size and times. Two states of one file compare equal with
    isUnchangedFrom() only when nothing has written to it in between.
*/
struct FileState
{
    enum class Kind
    {
        missing,
        regular,
        folder,
        link,
        other
    };

    Kind kind = Kind::missing;
    unsigned long long device = 0, inode = 0, size = 0, links = 0;
    unsigned mode = 0, owner = 0, group = 0; // mode: the permission bits, 07777
    long long modifiedSeconds = 0, modifiedNanoseconds = 0, changedSeconds = 0, changedNanoseconds = 0;

    static FileState from (const struct stat& info);

    bool exists() const { return kind != Kind::missing; }

    /** The same file, whatever its name: same device and inode. */
    bool isSameFileAs (const FileState& other) const;

    /** The same file, and not written, resized or re-permitted since. */
    bool isUnchangedFrom (const FileState& other) const;
};
