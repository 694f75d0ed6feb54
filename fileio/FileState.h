#pragma once

#include <juce_core/juce_core.h>

#if ! defined(_WIN32)
struct stat;
#endif

/**
    What the system says of an open file: its kind, identity (device and
    inode; on Windows the volume's serial number and the file's ID), owner,
    permissions, size and times. Two states of one file compare equal with
    isUnchangedFrom() only when nothing has written to it in between.
*/
struct FileState
{
    // The mode bits beyond the permissions, as POSIX and ZIP archives give them.
    static constexpr unsigned setUserIdBit = 04000, setGroupIdBit = 02000, stickyBit = 01000;

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

#if ! defined(_WIN32)
    static FileState from (const struct stat& info);
#endif

    /** What has the name now; a link at the name is followed only when asked. */
    static FileState of (const juce::File& file, bool followLinks = false);

    bool exists() const
    {
        return kind != Kind::missing;
    }

    /** The same file, whatever its name: same device and inode. */
    bool isSameFileAs (const FileState& other) const;

    /** The same file, and not written, resized or re-permitted since. */
    bool isUnchangedFrom (const FileState& other) const;
};
