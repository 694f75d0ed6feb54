#pragma once

#include "FileManager.h"
#include "support/TestFolder.h"

/** The file list of a test folder's "*.xml" files. */
struct XmlFileManager : FileManager
{
    explicit XmlFileManager (const TestFolder& folder, bool recursive = false)
    {
        currentDirectory = folder.path();
        wildcardPattern = "*.xml";
        searchRecursively = recursive;
        rescan();
    }
};

/** The names a file list holds, in its order. */
inline juce::StringArray listedNames (const FileManager& manager)
{
    juce::StringArray names;
    for (const auto* file : manager.files)
        names.add (file->getFileName());
    return names;
}
