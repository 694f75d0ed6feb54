#include "FileState.h"

FileState FileState::from (const struct stat& info)
{
    FileState state;
    state.kind = S_ISREG (info.st_mode) ? Kind::regular
               : S_ISDIR (info.st_mode) ? Kind::folder
               : S_ISLNK (info.st_mode) ? Kind::link
                                        : Kind::other;
    state.device = (unsigned long long) info.st_dev;
    state.inode = (unsigned long long) info.st_ino;
    state.size = (unsigned long long) info.st_size;
    state.links = (unsigned long long) info.st_nlink;
    state.mode = (unsigned) (info.st_mode & 07777);
    state.owner = (unsigned) info.st_uid;
    state.group = (unsigned) info.st_gid;
#if defined(__APPLE__)
    state.modifiedSeconds = info.st_mtimespec.tv_sec;
    state.modifiedNanoseconds = info.st_mtimespec.tv_nsec;
    state.changedSeconds = info.st_ctimespec.tv_sec;
    state.changedNanoseconds = info.st_ctimespec.tv_nsec;
#else
    state.modifiedSeconds = info.st_mtim.tv_sec;
    state.modifiedNanoseconds = info.st_mtim.tv_nsec;
    state.changedSeconds = info.st_ctim.tv_sec;
    state.changedNanoseconds = info.st_ctim.tv_nsec;
#endif
    return state;
}

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
