#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

/**
    The backup archives a run leaves in its folder: their names, how they are
    written, and what they hold.

    An object of the class reads one archive, ours or any stored or deflated
    ZIP (ZIP64 included), through libzip, which checks the archive's
    consistency and every entry's CRC.
*/
class BackupArchive
{
public:
    explicit BackupArchive (const juce::File& archiveFile);
    ~BackupArchive();

    /** Opens the archive and lists its files (folder entries are left out). */
    juce::Result open();

    int getNumEntries() const;

    /** The stored name of entry i, as written ("sub/a.xml"). */
    juce::String getEntryName (int index) const;

    /** Where entry i goes: its name under folder. */
    juce::File getEntryTarget (int index, const juce::File& folder) const;

    /** The permission bits stored with entry i, or 0644 when the archive holds none. */
    unsigned getEntryPermissions (int index) const;

    /** Reads entry i whole; fails on a CRC mismatch or a damaged entry. */
    juce::Result read (int index, std::string& bytes) const;

    /** Checks everything a restore into folder needs before any change: every
        name is relative, has no "..", and leads through no link out of the
        folder, and every entry reads back with its CRC. The failure names the
        entry. */
    juce::Result verifyForRestore (const juce::File& folder) const;

    /** The newest backup archive in the folder, or none. */
    static juce::File newestIn (const juce::File& folder);

    static constexpr const char* baseName = "QuillmereBackup";

    /** The archive a run in this folder would write: "QuillmereBackup.zip",
        or the first free numbered sibling. */
    static juce::File freeFile (const juce::String& directoryPath);

    /** "QuillmereBackup.zip" for 1, "QuillmereBackup(2).zip" for 2, and so on. */
    static juce::File numberedFile (const juce::File& directory, int number);

    /** Stored name of a file in the backup: its path relative to the folder. */
    static juce::String storedNameFor (const juce::File& file, const juce::File& directory);

    /** Writes every regular file of the list into a new archive in directory,
        each under its path relative to directory. The archive is written
        under a temporary name, synced, and then takes the first free name
        from freeFile() on; it never replaces or follows anything. Fails,
        leaving no archive, when any file could not be stored completely or
        shouldStop said so; it is asked before each file with how many are
        stored so far. archive receives the name it took. */
    static juce::Result write (const juce::Array<juce::File>& files, const juce::File& directory,
                               juce::File& archive, const std::function<bool (int stored, int total)>& shouldStop = {});

private:
    struct Entry;
    struct Handle;

    juce::File file;
    std::unique_ptr<Handle> handle;
    std::vector<Entry> entries;

    JUCE_DECLARE_NON_COPYABLE (BackupArchive)
};
