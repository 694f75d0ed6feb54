#include "FolderAccess.h"

#include "DisplayName.h"
#include "FileNameText.h"

bool FolderAccess::splitPath (const std::string& relative, std::vector<std::string>& parts)
{
    parts.clear();
    if (relative.empty() || relative.front() == '/')
        return false;
    size_t start = 0;
    for (;;)
    {
        const auto end = relative.find ('/', start);
        auto part = relative.substr (start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find ('\0') != std::string::npos)
            return false;
        parts.push_back (std::move (part));
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

namespace
{
    /** The path with '/' between its parts, whatever the system writes. */
    std::string slashed (const juce::File& file)
    {
        return FileNameText::toBytes (file.getFullPathName().replaceCharacter (juce::File::getSeparatorChar(), '/'));
    }
}

std::string FolderAccess::relativePathOf (const juce::File& file, const juce::File& folder)
{
    const auto path = slashed (file);
    auto base = slashed (folder);
    if (base.empty() || base.back() != '/')
        base += '/';
    if (path.size() <= base.size() || path.compare (0, base.size(), base) != 0)
        return {};
    return path.substr (base.size());
}

juce::String FolderAccess::describe (const std::string& relative) const
{
    // As the system writes paths: C:\presets\sub\a.xml on Windows.
    const auto separator = (char) juce::File::getSeparatorChar();
    auto path = FileNameText::toBytes (folder.getFullPathName()) + separator;
    for (const char c : relative)
        path += c == '/' ? separator : c;
    const auto text = DisplayName::of (std::string_view (path));
    return juce::String::fromUTF8 (text.data(), (int) text.size());
}

juce::Result FolderAccess::judgeTarget (const FileState* expected, const FileState& current)
{
    const bool wasThere = expected != nullptr && expected->exists();
    switch (current.kind)
    {
        case FileState::Kind::link:
            return juce::Result::fail (wasThere ? "changed into a link since it was listed: not changed"
                                                : "it is a link, not a regular file: not changed");
        case FileState::Kind::folder:
            return juce::Result::fail ("it is a folder, not a regular file: not changed");
        case FileState::Kind::other:
            return juce::Result::fail ("not a regular file");
        case FileState::Kind::missing:
            if (wasThere)
                return juce::Result::fail ("it was deleted since it was listed: not changed");
            break;
        case FileState::Kind::regular:
            if (expected != nullptr && ! expected->exists())
                return juce::Result::fail ("a file took its place since it was listed: not changed");
            if (wasThere && ! current.isSameFileAs (*expected))
                return juce::Result::fail ("it was replaced by another file since it was listed: not changed");
            break;
    }
    return juce::Result::ok();
}

juce::Result FolderAccess::read (const std::string& relative, const FileState* expected, std::string& bytes, FileState* found) const
{
    bytes.clear();
    const auto stream = openForReading (relative, expected);
    if (found != nullptr)
        *found = stream->getState();
    return stream->readAll (bytes);
}

juce::Result FolderAccess::replaceContents (const std::string& relative, const FileState* expected, const void* data,
                                            size_t numBytes, const WriteOptions& options) const
{
    return replaceContents (
        relative, expected, [data, numBytes] (juce::OutputStream& out) {
            return out.write (data, numBytes) ? juce::Result::ok() : juce::Result::fail ("write failed");
        },
        options);
}

juce::Result FolderAccess::checkWritable (const std::string& relative, const FileState* expected) const
{
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
        return parent.folderMissing ? juce::Result::ok() : parent.result;

    FileState current;
    if (auto problem = checkTarget (parent, expected, current); problem.failed())
        return problem;

    // Permission bits are checked directly rather than through access(), which
    // says yes to everything for the superuser.
    if (current.exists() && (current.mode & 0200) == 0)
        return juce::Result::fail ("the file is read-only");
    return juce::Result::ok();
}

juce::Result FolderAccess::stateBeforeWriting (const Parent& parent, const FileState* expected, const WriteOptions& options,
                                               FileState& current) const
{
    // The state found when the file was read is the one to keep, and the
    // one the name must still have before the new version takes it.
    if (options.readAs != nullptr && options.readAs->kind == FileState::Kind::regular)
        current = *options.readAs;
    else if (auto problem = checkTarget (parent, expected, current); problem.failed())
        return problem;
    if (current.exists() && (current.mode & 0200) == 0)
        return juce::Result::fail ("the file is read-only");
    return juce::Result::ok();
}

juce::Result FolderAccess::checkAfterWriting (const Parent& parent, const FileState* expected, const FileState& current,
                                              const WriteOptions& options) const
{
    // Looked at again: a large file takes a while to write, and the name
    // must still hold what was checked.
    const bool known = options.readAs != nullptr && options.readAs->kind == FileState::Kind::regular;
    const bool exists = current.exists();
    FileState now;
    auto problem = checkTarget (parent, expected, now);
    if (problem.wasOk()
        && (now.exists() != exists || (exists && ! now.isSameFileAs (current)) || (known && ! now.isUnchangedFrom (current))
            || (exists && (now.owner != current.owner || now.group != current.group))))
        problem = juce::Result::fail ("it changed while its new version was written: not changed");
    if (problem.failed() && options.nameChanged != nullptr)
        *options.nameChanged = true;
    return problem;
}

std::unique_ptr<RegularFileInputStream> FolderAccess::openForReading (const std::string& relative, const FileState* expected) const
{
    const auto parent = openParent (relative, false);
    if (parent.result.failed())
        return std::make_unique<RegularFileInputStream> (parent.result, parent.folderMissing, ! parent.folderMissing);

    bool missing = false;
    auto openError = juce::Result::ok();
    auto file = openLeafForReading (parent, missing, openError);
    if (! file.isOpen())
    {
        if (missing)
            return std::make_unique<RegularFileInputStream> (expected != nullptr && expected->exists()
                                                                 ? juce::Result::fail ("it was deleted since it was listed: not changed")
                                                                 : openError,
                                                             true);
        // What has the name says best why it did not open (a link, a folder...).
        FileState current;
        const auto problem = checkTarget (parent, expected, current);
        return std::make_unique<RegularFileInputStream> (problem.failed() ? problem : openError, false, problem.failed());
    }
    return judgeOpened (std::make_unique<RegularFileInputStream> (std::move (file)), expected);
}

std::unique_ptr<RegularFileInputStream> FolderAccess::judgeOpened (std::unique_ptr<RegularFileInputStream> stream, const FileState* expected)
{
    const auto& state = stream->getState();
    if (stream->getStatus().failed() && state.kind == FileState::Kind::folder)
        return std::make_unique<RegularFileInputStream> (juce::Result::fail ("it is a folder, not a regular file: not changed"), false, true, state);
    if (stream->getStatus().failed() && state.kind == FileState::Kind::link)
        return std::make_unique<RegularFileInputStream> (juce::Result::fail ("it is a link, not a regular file: not changed"), false, true, state);
    if (stream->getStatus().wasOk() && expected != nullptr)
    {
        if (! expected->exists())
            return std::make_unique<RegularFileInputStream> (juce::Result::fail ("a file took its place since it was listed: not changed"), false, true);
        if (! state.isSameFileAs (*expected))
            return std::make_unique<RegularFileInputStream> (juce::Result::fail ("it was replaced by another file since it was listed: not changed"), false, true);
    }
    return stream;
}
