#pragma once

#include "FileState.h"

#include <cstdint>
#include <string>
#include <string_view>

/**
    The rules by which the Windows side of the folder layer judges a name and
    what a handle reports, kept apart from the calls so that they are tested
    on every system (Wine cannot show reparse points or junctions).
*/
struct WindowsNames
{
    /** Why Windows would not hold the file name (one part of a path) as
        written, or empty when it would: a device name (CON, PRN, AUX, NUL,
        COM1 to COM9, LPT1 to LPT9, with any extension and in any letter
        case), a trailing dot or blank, which Windows drops, a ':' (an
        alternate data stream), a character Windows refuses in names, or a
        control character. */
    static std::string refusalOf (std::string_view name);

    // The attributes and tags a handle reports (GetFileInformationByHandle, FileAttributeTagInfo).
    static constexpr uint32_t directoryAttribute = 0x10, reparsePointAttribute = 0x400, deviceAttribute = 0x40;
    static constexpr uint32_t nameSurrogateBit = 0x20000000;
    static constexpr uint32_t symbolicLinkTag = 0xA000000C, mountPointTag = 0xA0000003;

    /** The kind of file a handle opened without following a reparse point
        reports: a reparse point that stands for another name (a symbolic
        link, a junction, a mount point: the name-surrogate bit) is a link,
        never what it leads to; other reparse points (placeholders of cloud
        files, deduplicated files) are the file or folder they hold. */
    static FileState::Kind kindOf (uint32_t attributes, uint32_t reparseTag);

    // What a rename with POSIX semantics may answer (NTSTATUS values).
    static constexpr uint32_t statusInvalidParameter = 0xC000000D, statusNotImplemented = 0xC0000002,
                              statusInvalidInfoClass = 0xC0000003, statusNotSupported = 0xC00000BB;

    /** Whether a rename by handle with POSIX semantics that answered status
        failed because the system or its file system has no such rename
        (Windows before 10 1607, FAT, network shares, Wine), so that the
        plain rename is to be tried; a file in use, a name taken or access
        denied are answers about the file, which the plain rename must not
        override. */
    static bool lacksPosixRename (uint32_t status);

    /** The same two names for Windows, which compares names without letter
        case: "A.xml" and "a.XML" name one file there. */
    static bool sameName (std::string_view a, std::string_view b);

    /** A name (or path) as Windows compares it: equal keys, one file. */
    static std::string keyOf (std::string_view name);
};
