#include "SafeFileWriter.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
    fs::path toPath (const juce::File& file)
    {
        return fs::u8path (file.getFullPathName().toStdString());
    }

    /** Permission bits are checked directly rather than through access(), which
        says yes to everything for the superuser: a file the user marked
        read-only stays unchanged whoever runs the tool. */
    bool isMarkedReadOnly (const fs::path& path)
    {
        std::error_code error;
        const auto permissions = fs::status (path, error).permissions();
        return ! error && (permissions & fs::perms::owner_write) == fs::perms::none;
    }

    juce::Result writeAll (const juce::File& file, const void* data, size_t numBytes)
    {
        juce::FileOutputStream out (file);
        if (! out.openedOk())
            return juce::Result::fail ("cannot create a temporary file in " + file.getParentDirectory().getFullPathName()
                                       + " (" + out.getStatus().getErrorMessage() + ")");

        const bool written = out.write (data, numBytes);
        out.flush();
        if (! written || out.getStatus().failed())
            return juce::Result::fail ("cannot write " + file.getFullPathName() + " (disk full?)");

        return juce::Result::ok();
    }
}

juce::Result SafeFileWriter::replaceContents (const juce::File& requestedTarget, const void* data, size_t numBytes)
{
    // Writing through a link must change the file it points to, not replace the link.
    const auto target = requestedTarget.isSymbolicLink() ? requestedTarget.getLinkedTarget() : requestedTarget;
    const bool targetExists = target.existsAsFile();

    if (target.isDirectory())
        return juce::Result::fail (target.getFullPathName() + " is a folder");

    if (targetExists && isMarkedReadOnly (toPath (target)))
        return juce::Result::fail ("the file is read-only");

    // Hidden and without the target's extension, so a scan for "*.xml" never picks it up.
    const auto temporaryName = target.getSiblingFile ("." + target.getFileName() + ".quillmere-tmp").getNonexistentSibling();
    juce::TemporaryFile temporary (target, temporaryName);
    const auto& temporaryFile = temporary.getFile();

    if (auto result = writeAll (temporaryFile, data, numBytes); result.failed())
        return result;

    if (targetExists)
    {
        std::error_code error;
        const auto permissions = fs::status (toPath (target), error).permissions();
        if (! error)
            fs::permissions (toPath (temporaryFile), permissions, error);
        if (error)
            return juce::Result::fail ("cannot copy the file's permissions (" + juce::String (error.message()) + ")");
    }

    // A plain rename, never the framework's move: that one falls back to copying
    // over the target, which a failure half way through would leave truncated.
    std::error_code error;
    fs::rename (toPath (temporaryFile), toPath (target), error);
    if (error)
        return juce::Result::fail ("cannot replace the file with its new version (" + juce::String (error.message()) + ")");

    return juce::Result::ok();
}
