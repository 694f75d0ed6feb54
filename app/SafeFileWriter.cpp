#include "SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

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

    struct FileCloser
    {
        void operator() (std::FILE* file) const { std::fclose (file); }
    };

    /** A new, hidden file beside the target, without the target's extension so
        that a scan for "*.xml" never picks it up. Opened exclusively: a leftover
        of an earlier crash is never appended to or reused. */
    std::unique_ptr<std::FILE, FileCloser> createTemporary (const fs::path& target, fs::path& temporary)
    {
        const auto base = "." + target.filename().u8string() + ".quillmere-tmp";

        for (int attempt = 0; attempt < 100; ++attempt)
        {
            const auto candidate = target.parent_path() / fs::u8path (attempt == 0 ? base : base + std::to_string (attempt));
            if (auto* file = std::fopen (candidate.c_str(), "wbx"))
            {
                temporary = candidate;   // only a file this call created is ever removed again
                return std::unique_ptr<std::FILE, FileCloser> (file);
            }
            if (errno != EEXIST)
                break;
        }

        return nullptr;
    }

    juce::Result writeTemporary (const fs::path& target, fs::path& temporary, const void* data, size_t numBytes)
    {
        auto file = createTemporary (target, temporary);
        if (file == nullptr)
            return juce::Result::fail ("cannot create a temporary file in " + juce::String (target.parent_path().u8string())
                                       + " (" + juce::String (std::strerror (errno)) + ")");

        const bool written = std::fwrite (data, 1, numBytes, file.get()) == numBytes;
        // Closing writes what the library still holds, so its result counts as well.
        const bool closed = std::fclose (file.release()) == 0;
        if (! written || ! closed)
            return juce::Result::fail ("cannot write " + juce::String (temporary.u8string()) + " (" + juce::String (std::strerror (errno)) + ")");

        return juce::Result::ok();
    }
}

juce::Result SafeFileWriter::replaceContents (const juce::File& requestedTarget, const void* data, size_t numBytes)
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

    if (fs::is_directory (status))
        return juce::Result::fail (juce::String (target.u8string()) + " is a folder");

    // Permission bits are checked directly rather than through access(), which
    // says yes to everything for the superuser: a file the user marked
    // read-only stays unchanged whoever runs the tool.
    if (targetExists && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return juce::Result::fail ("the file is read-only");

    fs::path temporary;
    auto result = writeTemporary (target, temporary, data, numBytes);

    if (result.wasOk() && targetExists)
    {
        fs::permissions (temporary, status.permissions(), error);
        if (error)
            result = juce::Result::fail ("cannot copy the file's permissions (" + describe (error) + ")");
    }

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
