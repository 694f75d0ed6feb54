#include "FolderWalk.h"

#include "DisplayName.h"
#include "WindowsFiles.h"
#include "WindowsNames.h"

#include <vector>

namespace
{
    juce::String shown (const juce::File& file)
    {
        return DisplayName::of (file);
    }

    struct Entry
    {
        juce::String name;
        DWORD attributes = 0;
    };

    /** The entries of an open folder, read by its handle. */
    bool entriesOf (HANDLE folder, std::vector<Entry>& entries)
    {
        std::vector<char> buffer (64 * 1024);
        for (auto informationClass = FileIdBothDirectoryRestartInfo;; informationClass = FileIdBothDirectoryInfo)
        {
            if (! GetFileInformationByHandleEx (folder, informationClass, buffer.data(), (DWORD) buffer.size()))
                return GetLastError() == ERROR_NO_MORE_FILES;
            for (size_t at = 0;;)
            {
                const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*> (buffer.data() + at);
                const juce::String name (entry->FileName, (size_t) entry->FileNameLength / sizeof (wchar_t));
                if (name != "." && name != "..")
                    entries.push_back ({ name, entry->FileAttributes });
                if (entry->NextEntryOffset == 0)
                    break;
                at += entry->NextEntryOffset;
            }
        }
    }

    struct Walker
    {
        const FolderWalk::Filter& wanted;
        bool recursive;
        juce::OwnedArray<juce::File>& files;
        juce::StringArray& unlisted;

        void walk (HANDLE folder, const juce::File& path)
        {
            std::vector<Entry> entries;
            if (! entriesOf (folder, entries))
            {
                unlisted.add ("cannot list the folder " + shown (path) + " (" + WindowsFiles::reasonOf (GetLastError()) + ")");
                return;
            }
            for (const auto& entry : entries)
            {
                const auto file = path.getChildFile (entry.name);
                const bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const auto kind = kindOf (folder, entry);
                if (kind == FileState::Kind::folder)
                {
                    if (recursive)
                        walkInto (folder, entry.name, file);
                    continue;
                }
                // Linked folders and junctions are not walked.
                if (directory || ! wanted (entry.name))
                    continue;
                // A link is listed when it leads to a regular file, as on
                // other systems; the run then sees where it leads.
                if (kind == FileState::Kind::regular
                    || (kind == FileState::Kind::link && FileState::of (file, true).kind == FileState::Kind::regular))
                    files.add (new juce::File (file));
            }
        }

        /** What an entry is. A reparse point is looked at by its own handle
            (its tag): only one that stands for another name is a link, and
            a cloud file's placeholder (a OneDrive folder) is what it holds. */
        static FileState::Kind kindOf (HANDLE folder, const Entry& entry)
        {
            if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                return WindowsNames::kindOf (entry.attributes, 0);
            const auto opened = WindowsFiles::openRelative (folder, entry.name.toStdString(), FILE_READ_ATTRIBUTES, FILE_OPEN, 0);
            return opened.ok() ? WindowsFiles::stateOf (opened.handle.get()).kind : FileState::Kind::link;
        }

        void walkInto (HANDLE folder, const juce::String& name, const juce::File& path)
        {
            auto sub = WindowsFiles::openRelative (folder, name.toStdString(), FILE_LIST_DIRECTORY | FILE_TRAVERSE, FILE_OPEN,
                                                   FILE_DIRECTORY_FILE);
            if (sub.ok() && WindowsFiles::stateOf (sub.handle.get()).kind == FileState::Kind::folder)
                walk (sub.handle.get(), path);
            else if (! sub.ok())
                unlisted.add ("cannot list the folder " + shown (path) + " ("
                              + WindowsFiles::reasonOf (WindowsFiles::errorOf (sub.status)) + ")");
        }
    };
}

void FolderWalk::walk (const juce::File& directory, bool recursive, const Filter& wanted, juce::OwnedArray<juce::File>& files,
                       juce::StringArray& unlisted)
{
    const auto path = WindowsFiles::longPath (directory);
    const FileDescriptor folder (CreateFileW (path.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folder.isOpen())
        Walker { wanted, recursive, files, unlisted }.walk (folder.get(), directory);
    else
        unlisted.add ("cannot list the folder " + shown (directory) + " (" + WindowsFiles::reasonOf (GetLastError()) + ")");
}
