#include "FolderWalk.h"

#include "DisplayName.h"
#include "FileDescriptor.h"
#include "FileNameText.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
    juce::String shown (const std::string& path)
    {
        return juce::String::fromUTF8 (DisplayName::of (path).c_str());
    }

    juce::String reasonForErrno()
    {
        return " (" + juce::String (std::strerror (errno)) + ")";
    }

    /** One openat() per folder; the listing's own file types spare a stat
        for most entries. */
    struct Walker
    {
        const FolderWalk::Filter& wanted;
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
                if (! wanted (file.getFileName()))
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

void FolderWalk::walk (const juce::File& directory, bool recursive, const Filter& wanted, juce::OwnedArray<juce::File>& files,
                       juce::StringArray& unlisted)
{
    const auto path = FileNameText::toBytes (directory.getFullPathName());
    const FileDescriptor folder (::open (path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        Walker { wanted, recursive, files, unlisted }.walk (folder.get(), path == "/" ? std::string() : path);
    else
        unlisted.add ("cannot list the folder " + shown (path) + reasonForErrno());
}
