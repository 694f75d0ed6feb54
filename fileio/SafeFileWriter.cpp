#include "SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "ExclusiveFile.h"

#if ! defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{
    fs::path toPath (const juce::File& file)
    {
        return fs::u8path (file.getFullPathName().toStdString());
    }

    juce::String describe (const std::error_code& error)
    {
        return juce::String (error.message());
    }

    /** Why the target cannot be replaced at all, whatever is written. */
    juce::Result refusal (const fs::path& target, const fs::file_status& status)
    {
        if (fs::is_directory (status))
            return juce::Result::fail (juce::String (target.u8string()) + " is a folder");

        // Permission bits are checked directly rather than through access(), which
        // says yes to everything for the superuser: a file the user marked
        // read-only stays unchanged whoever runs the tool.
        if (fs::exists (status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
            return juce::Result::fail ("the file is read-only");

        return juce::Result::ok();
    }

    struct FileCloser
    {
        void operator() (std::FILE* file) const { std::fclose (file); }
    };

    /** A new, hidden file beside the target, with a short name of its own (a
        long file name plus a suffix could pass the file system's limit), the
        process id in it, and no ".xml", so a scan never picks it up. Opened
        exclusively and never through a link: another run's file, or a
        leftover of a killed one, is never appended to or reused. */
    std::unique_ptr<std::FILE, FileCloser> createTemporary (const fs::path& target, unsigned permissions, fs::path& temporary)
    {
        const juce::File folder (juce::String (target.parent_path().u8string()));
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            const auto candidate = fs::u8path (ExclusiveFile::temporaryName (folder).getFullPathName().toStdString());
            const int descriptor = ::open (candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, (mode_t) permissions);
            if (descriptor >= 0)
            {
                temporary = candidate; // only a file this call created is ever removed again
                if (auto* file = ::fdopen (descriptor, "wb"))
                    return std::unique_ptr<std::FILE, FileCloser> (file);
                ::close (descriptor);
                return nullptr;
            }
            if (errno != EEXIST)
                break;
        }

        return nullptr;
    }

    /** Gives the new version the original's owner, group and permissions, before
        any byte of it is written, so it is never readable by more people than
        the original was. Where the owner cannot be kept the rewrite is refused:
        the user the file belongs to must not lose it. */
    juce::Result takeOverAttributes (std::FILE* file, const fs::path& target, const fs::path& temporary,
                                     const fs::file_status& status)
    {
#if ! defined(_WIN32)
        struct stat original;
        if (::stat (target.c_str(), &original) != 0)
            return juce::Result::fail ("cannot read the file's owner (" + juce::String (std::strerror (errno)) + ")");

        const int descriptor = ::fileno (file);
        struct stat created;
        if (::fstat (descriptor, &created) == 0 && (created.st_uid != original.st_uid || created.st_gid != original.st_gid)
            && ::fchown (descriptor, original.st_uid, original.st_gid) != 0)
            return juce::Result::fail ("cannot keep the file's owner (" + juce::String (std::strerror (errno)) + ")");

        if (::fchmod (descriptor, original.st_mode & 07777) != 0)
            return juce::Result::fail ("cannot copy the file's permissions (" + juce::String (std::strerror (errno)) + ")");
        juce::ignoreUnused (temporary, status);
#else
        juce::ignoreUnused (file, target);
        std::error_code error;
        fs::permissions (temporary, status.permissions(), error);
        if (error)
            return juce::Result::fail ("cannot copy the file's permissions (" + describe (error) + ")");
#endif
        return juce::Result::ok();
    }

    juce::Result writeTemporary (const fs::path& target, const fs::file_status& status, bool targetExists,
                                 unsigned permissionsIfNew, fs::path& temporary, const void* data, size_t numBytes)
    {
        auto file = createTemporary (target, targetExists ? 0600 : permissionsIfNew, temporary);
        if (file == nullptr)
            return juce::Result::fail ("cannot create a temporary file in " + juce::String (target.parent_path().u8string())
                                       + " (" + juce::String (std::strerror (errno)) + ")");

        if (targetExists)
            if (auto result = takeOverAttributes (file.get(), target, temporary, status); result.failed())
                return result;

        const bool written = std::fwrite (data, 1, numBytes, file.get()) == numBytes;
        // Closing writes what the library still holds, so its result counts as well.
        const bool closed = std::fclose (file.release()) == 0;
        if (! written || ! closed)
            return juce::Result::fail ("cannot write " + juce::String (temporary.u8string()) + " (" + juce::String (std::strerror (errno)) + ")");

        return juce::Result::ok();
    }
}

juce::Result SafeFileWriter::replaceContents (const juce::File& requestedTarget, const void* data, size_t numBytes,
                                              unsigned permissionsIfNew)
{
    std::error_code error;
    auto target = toPath (requestedTarget);

    // Writing through a link must change the file it points to, not replace the link.
    if (fs::is_symlink (fs::symlink_status (target, error)))
    {
        target = fs::canonical (target, error);
        if (error)
            return juce::Result::fail ("cannot follow the link (" + describe (error) + ")");
    }

    const auto status = fs::status (target, error);
    const bool targetExists = fs::exists (status);

    if (const auto refused = refusal (target, status); refused.failed())
        return refused;

    fs::path temporary;
    auto result = writeTemporary (target, status, targetExists, permissionsIfNew, temporary, data, numBytes);

    // A plain rename, never a copy over the target: a failure half way through
    // a copy would leave the original truncated.
    if (result.wasOk())
    {
        fs::rename (temporary, target, error);
        if (error)
            result = juce::Result::fail ("cannot replace the file with its new version (" + describe (error) + ")");
    }

    if (result.failed() && ! temporary.empty())
        fs::remove (temporary, error);

    return result;
}

juce::Result SafeFileWriter::checkWritable (const juce::File& target)
{
    std::error_code error;
    const auto path = toPath (target);
    return refusal (path, fs::status (path, error));
}
