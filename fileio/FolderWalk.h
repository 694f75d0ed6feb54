#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/**
    The regular files of a folder (and, when asked, of its subfolders), found
    by descriptor or handle one folder at a time, so that a path longer than
    the system's limit on path names is reached as well. Only regular files
    (or links to them) are listed: opening a named pipe or a device called
    "x.xml" could block a run for ever. Linked folders are not walked. A
    folder or entry that cannot be read is noted with a line, never passed
    over in silence.
*/
struct FolderWalk
{
    /** Whether a file of this name is wanted. */
    using Filter = std::function<bool (const juce::String& fileName)>;

    /** Adds the wanted files below folder to files, in the order found, and
        a line for each folder or entry it could not look into ("cannot list
        the folder PATH (Permission denied)"). */
    static void walk (const juce::File& folder, bool recursive, const Filter& wanted, juce::OwnedArray<juce::File>& files,
                      juce::StringArray& unlisted);
};
