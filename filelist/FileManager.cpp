#include "FileManager.h"

#include "DisplayName.h"
#include "FileNameText.h"
#include "FilePattern.h"
#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

juce::File getApplicationDirectory()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory();
}

namespace
{
    /** Orders by the last path component alone, comparing UTF-16 code units,
        so that "B.xml" comes before "a.xml" whatever folder either lives in.
        Each name is converted once, not at every comparison. */
    void sortByFileName (juce::OwnedArray<juce::File>& files)
    {
        std::vector<std::pair<std::u16string, juce::File*>> keyed;
        keyed.reserve ((size_t) files.size());
        for (auto* file : files)
        {
            const auto name = file->getFileName();
            keyed.emplace_back (std::u16string (reinterpret_cast<const char16_t*> (name.toUTF16().getAddress())), file);
        }
        std::sort (keyed.begin(), keyed.end(), [] (const auto& a, const auto& b) { return a.first < b.first; });

        // Only the order of the owned pointers changes.
        auto** order = files.getRawDataPointer();
        for (size_t i = 0; i < keyed.size(); ++i)
            order[i] = keyed[i].second;
    }

    juce::String shown (const std::string& path)
    {
        return juce::String::fromUTF8 (DisplayName::of (path).c_str());
    }

    juce::String reasonForErrno()
    {
        return " (" + juce::String (std::strerror (errno)) + ")";
    }

    /** Walks the folder by descriptor, one openat() per folder, so a path
        longer than the system's limit on path names is reached as well, and
        a folder or entry that cannot be read is noted, never passed over in
        silence. Only regular files (or links to them) are listed: opening a
        named pipe or a device called "x.xml" could block the run for ever.
        Linked folders are not walked. */
    struct FolderWalk
    {
        const FilePattern& pattern;
        bool recursive;
        juce::OwnedArray<juce::File>& files;
        juce::StringArray& unlisted;

        void walk (int folder, const std::string& path)
        {
            std::vector<std::string> subfolders;
            if (! listFiles (folder, path, subfolders))
                return;

            for (const auto& name : subfolders)
            {
                const auto subpath = path + "/" + name;
                const FileDescriptor sub (::openat (folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                if (sub.isOpen())
                    walk (sub.get(), subpath);
                else
                    unlisted.add ("cannot list the folder " + shown (subpath) + reasonForErrno());
            }
        }

        bool listFiles (int folder, const std::string& path, std::vector<std::string>& subfolders)
        {
            const int own = ::fcntl (folder, F_DUPFD_CLOEXEC, 0);
            DIR* listing = own >= 0 ? ::fdopendir (own) : nullptr;
            if (listing == nullptr)
            {
                unlisted.add ("cannot list the folder " + shown (path) + reasonForErrno());
                if (own >= 0)
                    ::close (own);
                return false;
            }

            while (const auto* entry = ::readdir (listing))
            {
                const std::string name = entry->d_name;
                if (name == "." || name == "..")
                    continue;

                // The listing's own file type spares a stat for every plain
                // file and folder; file systems that give none are asked.
                const bool plainFile = entry->d_type == DT_REG;
                struct stat info;
                if (! plainFile && entry->d_type != DT_DIR && ::fstatat (folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
                {
                    unlisted.add ("cannot look at " + shown (path + "/" + name) + reasonForErrno());
                    continue;
                }
                if (entry->d_type == DT_DIR || (! plainFile && S_ISDIR (info.st_mode)))
                {
                    if (recursive)
                        subfolders.push_back (name);
                    continue;
                }

                const juce::File file (FileNameText::fromBytes (path + "/" + name));
                if (! pattern.matches (file.getFileName()))
                    continue;
                if (! plainFile && S_ISLNK (info.st_mode) && ::fstatat (folder, name.c_str(), &info, 0) != 0)
                    continue; // a dangling link
                if (plainFile || S_ISREG (info.st_mode))
                    files.add (new juce::File (file));
            }
            ::closedir (listing);
            return true;
        }
    };
}

FileManager::FileManager()
    : currentDirectory (getApplicationDirectory().getFullPathName())
{
    rescan();
}

FileManager::~FileManager() = default;

void FileManager::rescan()
{
    const juce::File directory (currentDirectory);
    if (! directory.isDirectory())
        return;

    files.clear();
    unlisted.clear();

    const FilePattern pattern (wildcardPattern);
    const auto path = FileNameText::toBytes (directory.getFullPathName());
    const FileDescriptor folder (::open (path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        FolderWalk { pattern, searchRecursively, files, unlisted }.walk (folder.get(), path == "/" ? std::string() : path);
    else
        unlisted.add ("cannot list the folder " + shown (path) + reasonForErrno());

    numFiles = files.size();

    if (numFiles >= 2)
        sortByFileName (files);
}

juce::String FileManager::getCurrentDirectoryPath()
{
    return currentDirectory;
}

juce::String FileManager::getFileListText (const juce::String& separator)
{
    // Joined in one go: appending path by path would copy the text each time.
    juce::StringArray lines;
    lines.ensureStorageAllocated (files.size() + 1);
    for (const auto* file : files)
        lines.add (DisplayName::of (*file));
    if (! lines.isEmpty())
        lines.add ({});
    return lines.joinIntoString (separator);
}
