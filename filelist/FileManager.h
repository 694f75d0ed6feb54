#pragma once

#include <juce_core/juce_core.h>

/** The parent folder of the running program's executable. */
juce::File getApplicationDirectory();

/**
    The file locations of the batch panel: the folder being worked on, the
    pattern that selects files in it (a FilePattern's text), whether subfolders are searched,
    and the filtered list of files, sorted by file name.

    The owner writes the three settings directly and then calls rescan().
*/
class FileManager
{
public:
    FileManager();
    virtual ~FileManager();

    /** Rebuilds files and numFiles from the settings, walking the folder by
        descriptor (a path longer than the system allows for a name is still
        reached). A folder that does not exist (or is not a folder) leaves the
        previous list in place. */
    virtual void rescan();

    virtual juce::String getCurrentDirectoryPath();

    /** Every listed file's full path (as lines show names), in list order,
        each followed by separator. */
    virtual juce::String getFileListText (const juce::String& separator);

    bool searchRecursively = false;
    juce::String currentDirectory;
    juce::String wildcardPattern { "*" };
    juce::OwnedArray<juce::File> files;
    int numFiles = 0;

    /** A line for each folder or entry the last rescan could not look into
        ("cannot list the folder PATH (Permission denied)"). */
    juce::StringArray unlisted;

    JUCE_DECLARE_NON_COPYABLE (FileManager)
};
