#pragma once

#include "BackupCopies.h"
#include "FileState.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FolderAccess;

/**
    The backup archives a run leaves in its folder: their names, how they are
    written, and what they hold.

    An object of the class reads one archive, ours or any stored or deflated
    ZIP (ZIP64 included), through libzip, which checks the archive's
    consistency and every entry's CRC. Entries are read as streams, never
    whole: an entry's size comes from the archive, which may lie.
*/
class BackupArchive
{
public:
    explicit BackupArchive (const juce::File& archiveFile);
    ~BackupArchive();

    /** Opens the archive and lists its files (folder entries are left out).
        Names are read as UTF-8 where the archive says so or where they are
        valid UTF-8, and as CP437 only when they are neither and the archive
        was not made on Unix (where names are the bytes the files had). */
    juce::Result open();

    int getNumEntries() const;

    /** The name of entry i, as a path below the folder: "\" read as "/",
        empty and "." parts left out ("./sub//a.xml" is "sub/a.xml"). */
    juce::String getEntryName (int index) const;

    /** Where entry i goes: its name under folder. */
    juce::File getEntryTarget (int index, const juce::File& folder) const;

    /** The permission bits stored with entry i (setuid, setgid and sticky
        included), or 0644 when the archive holds none. */
    unsigned getEntryPermissions (int index) const;

    /** Whether the archive holds permission bits for entry i. */
    bool hasEntryPermissions (int index) const;

    /** The size the archive claims for entry i. */
    juce::uint64 getEntrySize (int index) const;

    /** Whether bytes of this size and CRC-32 cannot be entry i's, by the
        size and CRC the archive gives for it. */
    bool surelyDiffers (int index, juce::uint64 size, juce::uint32 crc) const;

    /** Reads entry i whole; fails on a CRC mismatch or a damaged entry. */
    juce::Result read (int index, std::string& bytes) const;

    /** Streams entry i into out, to its end, where the CRC is checked. */
    juce::Result writeTo (int index, juce::OutputStream& out) const;

    /** Whether entry i holds exactly these bytes, read as a stream. */
    juce::Result holdsSameBytes (int index, std::string_view bytes, bool& same) const;

    /** The largest entry a restore takes: larger claims are refused before
        anything is read. */
    static constexpr juce::uint64 largestEntrySize = juce::uint64 (1) << 40;

    /** Checks everything a restore into folder needs before any change: every
        name is relative, has no "..", leads through no link out of the
        folder, and names a file no other entry names (or lies inside); no
        entry is a link or other special file; every size is within
        largestEntrySize and all of them fit in the space left on the
        folder's disk; and every entry reads back with its CRC. The failure
        names the entry. */
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

    /** A file to back up: reached in the run's folder by its relative path,
        and backed up only while it is still the file the run planned. */
    struct Source
    {
        juce::File file;      // its name in messages
        std::string relative; // its path below the folder, also its stored name
        FileState planned;
    };

    /** Writes every source that is still a regular file into a new archive
        in folder, each under its path relative to folder. Sources are read
        by descriptor (FolderAccess), never through a link. The archive is
        written under a temporary name, readable by no more users than its
        files (FilePermissions), synced, and then takes the first free name
        from freeFile() on; it never replaces or follows anything. Fails,
        leaving no archive, when any file could not be stored completely or
        shouldStop said so; it is asked before each file with how many are
        stored so far. The archive carries comment (UTF-8) as its archive
        comment. archive receives the name it took. stored, when given,
        receives for each source where its copy lies (none for one left
        out), and copies the archive opened again to read them.
        archiveState, when given, receives the archive's own state (missing
        when it could not be learnt), by which it is told from a file that
        takes its name later. */
    static juce::Result write (const FolderAccess& folder, const std::vector<Source>& sources,
                               const std::string& comment, juce::File& archive,
                               const std::function<bool (int stored, int total)>& shouldStop = {},
                               std::vector<std::optional<BackupCopies::Copy>>* stored = nullptr,
                               std::shared_ptr<const BackupCopies>* copies = nullptr, FileState* archiveState = nullptr);

    /** What the folder's list of backups shows of one archive. */
    struct Summary
    {
        juce::File file;
        juce::Time modified;
        int files = -1;       // -1: the archive could not be read
        juce::String comment; // empty for archives made without one
    };

    /** Every backup archive in the folder, newest first (the order newestIn()
        picks by). Only each archive's directory is read, not its entries. */
    static std::vector<Summary> listIn (const juce::File& folder);

    /** The archive comment, once open() succeeded. */
    juce::String getComment() const;

private:
    struct Entry;
    struct Handle;

    juce::File file;
    std::unique_ptr<Handle> handle;
    std::vector<Entry> entries;

    JUCE_DECLARE_NON_COPYABLE (BackupArchive)
};
