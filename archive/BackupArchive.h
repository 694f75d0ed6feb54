#pragma once

#include <juce_core/juce_core.h>

#include <functional>

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

    /** "QuillmereBackup.zip" for 1, "QuillmereBackup(2).zip" for 2, and so on. */
    static juce::File numberedFile (const juce::File& directory, int number);

    /** Stored name of a file in the backup: its path relative to the folder. */
    static juce::String storedNameFor (const juce::File& file, const juce::File& directory);

    /** The permission bits for a new file holding these files' contents:
        read and write for its owner, and read for group or others only when
        every one of the files gives them that. */
    static unsigned strictestPermissions (const juce::Array<juce::File>& files);

    /** Writes every regular file of the list into a new archive in directory,
        each under its path relative to directory. The archive is written
        under a temporary name, synced, and then takes the first free name
        from freeFile() on; it never replaces or follows anything. Fails,
        leaving no archive, when any file could not be stored completely or
        shouldStop said so. archive receives the name it took. */
    static juce::Result write (const juce::Array<juce::File>& files, const juce::File& directory,
                               juce::File& archive, const std::function<bool()>& shouldStop = {});
};
