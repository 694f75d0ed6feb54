#pragma once

#include <juce_core/juce_core.h>

/**
    The backup archives a run leaves in its folder: their names, how they are
    written, and what they hold.
*/
class BackupArchive
{
public:
    static constexpr const char* baseName = "QuillmereBackup";

    /** The archive a run in this folder would write: "QuillmereBackup.zip",
        or the first free numbered sibling. */
    static juce::File freeFile (const juce::String& directoryPath);

    /** Stored name of a file in the backup: its path relative to the folder. */
    static juce::String storedNameFor (const juce::File& file, const juce::File& directory);

    /** Writes every file that exists into a new archive at target, each under
        its path relative to directory. Fails, leaving no archive, when any
        file could not be stored completely. */
    static juce::Result write (const juce::File& target, const juce::Array<juce::File>& files, const juce::File& directory);
};
