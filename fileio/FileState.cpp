#include "FileState.h"

bool FileState::isSameFileAs (const FileState& other) const
{
    return exists() && other.exists() && device == other.device && inode == other.inode;
}

bool FileState::isUnchangedFrom (const FileState& other) const
{
    return isSameFileAs (other) && kind == other.kind && size == other.size && mode == other.mode
        && modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds
        && changedSeconds == other.changedSeconds && changedNanoseconds == other.changedNanoseconds;
}
