#pragma once

// What the Windows side of the folder layer shares: wide names, opening
// relative to a folder's handle without following a reparse point, a
// handle's state, and the retry of a file another program holds open.

#include "FileDescriptor.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winternl.h>

namespace WindowsFiles
{
    /** UTF-16, as Windows names files, from the UTF-8 the tool keeps. */
    std::wstring wide (const std::string& utf8);
    std::wstring wide (const juce::String& text);

    /** A full path in the form that takes more than 260 characters. */
    std::wstring longPath (const juce::File& file);

    /** The Win32 error of a status from ntdll, for messages and retries. */
    DWORD errorOf (NTSTATUS status);

    /** "(The process cannot access the file ...)" for a Win32 error. */
    juce::String reasonOf (DWORD error);

    /** What a result of an open or rename says, as the lines say it. */
    juce::Result failure (const juce::String& what, DWORD error);

    struct Opened
    {
        FileDescriptor handle;
        NTSTATUS status = 0;
        bool ok() const { return handle.isOpen(); }
    };

    /** Opens name, one part without separators, relative to the folder's
        handle; never follows a reparse point (OBJ_DONT_REPARSE where the
        system has it, FILE_OPEN_REPARSE_POINT always). disposition and
        options are NtCreateFile's. A sharing violation (another program has
        the file open without sharing) is retried after 1, 10, 20 and 40 ms. */
    Opened openRelative (HANDLE folder, const std::string& name, ACCESS_MASK access, ULONG disposition, ULONG options,
                         PSECURITY_DESCRIPTOR security = nullptr);

    /** Kind, identity (volume serial and file index), links, size, times
        and a mode made of the read-only attribute (0444 or 0644). */
    FileState stateOf (HANDLE handle);

    /** Renames the open file to name in the folder by handle; with replace,
        the file there is replaced in one step (POSIX semantics where the
        system has them, so readers keep the old file). */
    NTSTATUS renameTo (HANDLE file, HANDLE folder, const std::string& name, bool replace);

    bool isSharingViolation (NTSTATUS status);
}
