#include "FileState.h"

#include "FileNameText.h"

#include <sys/stat.h>

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

FileState FileState::of (const juce::File& file, bool followLinks)
{
    const auto path = FileNameText::toBytes (file.getFullPathName());
    struct stat info;
    if ((followLinks ? ::stat (path.c_str(), &info) : ::lstat (path.c_str(), &info)) != 0)
        return {};
    return from (info);
}
