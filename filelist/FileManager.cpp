#include "FileManager.h"

#include "FilePattern.h"

#include <filesystem>

juce::File getApplicationDirectory()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory();
}

namespace
{
    /** Only regular files (or links to them) can be backed up and rewritten:
        opening a named pipe or a device called "x.xml" could block the run for ever. */
    bool isRegularFile (const juce::File& file)
    {
        std::error_code error;
        return std::filesystem::is_regular_file (std::filesystem::u8path (file.getFullPathName().toStdString()), error);
    }

    /** Orders by the last path component alone, comparing UTF-16 code units,
        so that "B.xml" comes before "a.xml" whatever folder either lives in. */
    struct CompareFileNames
    {
        static int compareElements (const juce::File* first, const juce::File* second)
        {
            // The converted text lives inside the string, so the strings must outlive the pointers.
            const auto nameA = first->getFileName(), nameB = second->getFileName();
            const auto a = nameA.toUTF16(), b = nameB.toUTF16();

            for (int i = 0;; ++i)
            {
                const auto ca = (juce::uint16) a[i];
                const auto cb = (juce::uint16) b[i];
                if (ca != cb)
                    return ca < cb ? -1 : 1;
                if (ca == 0)
                    return 0;
            }
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

    const FilePattern pattern (wildcardPattern);
    for (const auto& file : directory.findChildFiles (juce::File::findFiles,
                                                      searchRecursively, "*",
                                                      juce::File::FollowSymlinks::no))
        if (pattern.matches (file.getFileName()) && isRegularFile (file))
            files.add (new juce::File (file));

    numFiles = files.size();

    if (numFiles >= 2)
    {
        CompareFileNames comparator;
        files.sort (comparator);
    }
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
        lines.add (file->getFullPathName());
    if (! lines.isEmpty())
        lines.add ({});
    return lines.joinIntoString (separator);
}
