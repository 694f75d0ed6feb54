#include "FileManager.h"

#include "DisplayName.h"
#include "FilePattern.h"
#include "FolderWalk.h"

#include <algorithm>
#include <string>
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
    FolderWalk::walk (
        directory, searchRecursively, [&pattern] (const juce::String& name) { return pattern.matches (name); }, files, unlisted);

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
