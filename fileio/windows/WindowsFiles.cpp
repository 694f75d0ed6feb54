#include "WindowsFiles.h"

#include "WindowsNames.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
    constexpr NTSTATUS statusInvalidParameter = (NTSTATUS) WindowsNames::statusInvalidParameter;
    constexpr NTSTATUS statusSharingViolation = (NTSTATUS) 0xC0000043L;
    constexpr ULONG dontReparse = 0x00001000L; // OBJ_DONT_REPARSE, Windows 10 1709 on
    constexpr int fileRenameInformationEx = 65;
    constexpr ULONG renameReplaceIfExists = 0x1, renamePosixSemantics = 0x2;

    /** Both rename information layouts: Flags is a BOOLEAN ReplaceIfExists in the older one. */
    struct RenameInformation
    {
        union
        {
            BOOLEAN replaceIfExists;
            ULONG flags;
        };
        HANDLE rootDirectory;
        ULONG fileNameLength;
        WCHAR fileName[1];
    };

    std::atomic<bool> systemHasDontReparse { true };

    UNICODE_STRING unicodeOf (std::wstring& text)
    {
        UNICODE_STRING string;
        string.Buffer = text.data();
        string.Length = (USHORT) (text.size() * sizeof (wchar_t));
        string.MaximumLength = string.Length;
        return string;
    }

    long long secondsOf (const LARGE_INTEGER& time, long long& nanoseconds)
    {
        // 100 ns ticks since 1601.
        constexpr long long ticksTo1970 = 116444736000000000LL;
        const auto ticks = time.QuadPart - ticksTo1970;
        auto seconds = ticks / 10000000LL;
        auto rest = ticks % 10000000LL;
        if (rest < 0)
            --seconds, rest += 10000000LL;
        nanoseconds = rest * 100;
        return seconds;
    }
}

namespace WindowsFiles
{
    std::wstring wide (const std::string& utf8)
    {
        return wide (juce::String::fromUTF8 (utf8.data(), (int) utf8.size()));
    }

    std::wstring wide (const juce::String& text)
    {
        return std::wstring (text.toWideCharPointer());
    }

    std::wstring longPath (const juce::File& file)
    {
        auto path = wide (file.getFullPathName());
        if (path.rfind (L"\\\\?\\", 0) == 0)
            return path;
        if (path.rfind (L"\\\\", 0) == 0)
            return L"\\\\?\\UNC\\" + path.substr (2);
        return L"\\\\?\\" + path;
    }

    DWORD errorOf (NTSTATUS status)
    {
        return RtlNtStatusToDosError (status);
    }

    juce::String reasonOf (DWORD error)
    {
        wchar_t* text = nullptr;
        const auto length = FormatMessageW (FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, error, 0, reinterpret_cast<LPWSTR> (&text), 0, nullptr);
        auto reason = length > 0 ? juce::String (text, (size_t) length).trim() : "error " + juce::String ((int) error);
        LocalFree (text);
        if (reason.endsWithChar ('.'))
            reason = reason.dropLastCharacters (1);
        return reason;
    }

    juce::Result failure (const juce::String& what, DWORD error)
    {
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return juce::Result::fail (what + " (in use by another program)");
        return juce::Result::fail (what + " (" + reasonOf (error) + ")");
    }

    bool isSharingViolation (NTSTATUS status)
    {
        return status == statusSharingViolation;
    }

    Opened openRelative (HANDLE folder, const std::string& name, ACCESS_MASK access, ULONG disposition, ULONG options,
                         PSECURITY_DESCRIPTOR security)
    {
        Opened opened;
        auto wideName = wide (name);
        auto unicode = unicodeOf (wideName);
        // Editors, indexers and scanners open files for a moment: wait a little for them.
        for (const int delay : { 0, 1, 10, 20, 40 })
        {
            if (delay > 0)
                std::this_thread::sleep_for (std::chrono::milliseconds (delay));
            for (;;)
            {
                OBJECT_ATTRIBUTES attributes;
                InitializeObjectAttributes (&attributes, &unicode, OBJ_CASE_INSENSITIVE | (systemHasDontReparse ? dontReparse : 0), folder,
                                            security);
                IO_STATUS_BLOCK io {};
                HANDLE handle = nullptr;
                opened.status = NtCreateFile (&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, disposition,
                                              options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
                if (opened.status == statusInvalidParameter && systemHasDontReparse)
                {
                    systemHasDontReparse = false; // an older Windows: the flag alone is refused
                    continue;
                }
                if (NT_SUCCESS (opened.status))
                    opened.handle = FileDescriptor (handle);
                break;
            }
            if (! isSharingViolation (opened.status))
                break;
        }
        return opened;
    }

    FileState stateOf (HANDLE handle)
    {
        FileState state;
        BY_HANDLE_FILE_INFORMATION information;
        FILE_BASIC_INFO basic;
        if (! GetFileInformationByHandle (handle, &information)
            || ! GetFileInformationByHandleEx (handle, FileBasicInfo, &basic, sizeof basic))
            return state;
        FILE_ATTRIBUTE_TAG_INFO tag {};
        if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            GetFileInformationByHandleEx (handle, FileAttributeTagInfo, &tag, sizeof tag);

        state.kind = WindowsNames::kindOf (information.dwFileAttributes, tag.ReparseTag);
        state.device = information.dwVolumeSerialNumber;
        state.inode = ((unsigned long long) information.nFileIndexHigh << 32) | information.nFileIndexLow;
        state.size = ((unsigned long long) information.nFileSizeHigh << 32) | information.nFileSizeLow;
        state.links = information.nNumberOfLinks;
        state.mode = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444u : 0644u;
        state.modifiedSeconds = secondsOf (basic.LastWriteTime, state.modifiedNanoseconds);
        state.changedSeconds = secondsOf (basic.ChangeTime, state.changedNanoseconds);
        return state;
    }

    NTSTATUS renameTo (HANDLE file, HANDLE folder, const std::string& name, bool replace)
    {
        const auto wideName = wide (name);
        const auto bytes = sizeof (RenameInformation) + wideName.size() * sizeof (wchar_t);
        std::vector<char> buffer (bytes, 0);
        auto* information = reinterpret_cast<RenameInformation*> (buffer.data());
        information->rootDirectory = folder;
        information->fileNameLength = (ULONG) (wideName.size() * sizeof (wchar_t));
        std::memcpy (information->fileName, wideName.data(), information->fileNameLength);

        // POSIX semantics replace a file another program has open (it keeps
        // reading the old one); Windows before 10 1607, and Wine, lack them.
        information->flags = renamePosixSemantics | (replace ? renameReplaceIfExists : 0);
        IO_STATUS_BLOCK io {};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion" // the class is newer than MinGW's enumeration
        auto status = NtSetInformationFile (file, &io, information, (ULONG) bytes, (FILE_INFORMATION_CLASS) fileRenameInformationEx);
#pragma GCC diagnostic pop
        if (WindowsNames::lacksPosixRename ((uint32_t) status))
        {
            information->flags = 0;
            information->replaceIfExists = replace ? TRUE : FALSE;
            status = NtSetInformationFile (file, &io, information, (ULONG) bytes, FileRenameInformation);
        }
        return status;
    }
}
