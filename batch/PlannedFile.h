#pragma once

#include "BackupArchive.h"
#include "FileRewrite.h"
#include "FileState.h"
#include "FolderAccess.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BatchOperation;

/**
    A listed file and what a run (or its preview) does with it. The plan is
    made once the run holds its folder's lock: it opens the folder once and
    notes, for every file, the path by which it is reached below the folder
    and the file found there (device and inode). Everything afterwards (the
    backup, the read, the write) reaches the file from the folder's
    descriptor without following links, and only while it is still that
    file.

    A listed name that is a link leading outside the folder is left alone.
    One that leads to a file inside the folder is reached through the path
    the link leads to. A file reached under two names (a link, or a hard
    link) is processed under the first one only; its other hard-linked names
    are linked to the new version, so they stay one file.

    A restore reaches each file by its own name only: a link there, or on
    the way, fails the file; files are not matched by identity, since each
    entry of the archive is a file of its own.
*/
struct PlannedFile
{
    enum class Kind
    {
        process,
        outside,
        alias
    };

    /** How the listed names are reached. */
    enum class Reach
    {
        resolvingLinksInside, // replace, convert: links within the folder lead to their file
        byOwnNameOnly         // restore: the name itself, without links; files may be missing
    };

    juce::File file; // as listed, and as the lines name it
    Kind kind = Kind::process;
    juce::String detail; // where an outside link leads, or the name an alias was processed under

    std::shared_ptr<const FolderAccess> folder;
    std::string relative; // the path below the folder that reaches the file
    FileState planned;    // what was there when the plan was made
    Reach reach = Reach::resolvingLinksInside;
    std::vector<std::string> linked; // the other hard-linked names to keep linked to it
    std::vector<FileState> linkedStates;

    /** Its copy in the run's backup, once written: a file unchanged since
        is read from there rather than opened and read again. */
    std::optional<BackupCopies::Copy> backedUp;
    std::shared_ptr<const BackupCopies> backupCopies;

    /** A file deleted since the scan, or turned into a folder, is skipped
        without a word, unless the operation brings missing files back (a
        restore then fails a folder with a line, and creates a missing file). */
    bool isSkipped (bool createsMissingFiles) const;

    /** The file's state now, reached as planned. */
    FileState currentState() const;

    /** Opens the file for reading, which must still be the planned one. */
    std::unique_ptr<RegularFileInputStream> openForReading() const;

    /** The file's bytes from its copy in the backup, when the file is still
        exactly as it was backed up: found receives its state now. False
        when it is not (or has no copy): it is then to be read itself. */
    bool readBackedUpCopy (std::string& bytes, FileState& found) const;

    /** The file's bytes from its copy in the backup without looking at the
        file: state receives the state it had when it was backed up, which
        whoever uses the bytes must compare with the file's state now. False
        when there is no copy or it cannot be read. */
    bool readCopyAsBackedUp (std::string& bytes, FileState& state) const;

    /** Ok when the file could be rewritten: still the planned file, a
        regular file, not read-only. */
    juce::Result checkWritable() const;

    /** Writes a rewrite's new contents (its bytes, or its writer) in place of
        the file: only while it is still the planned file, safely, with its
        permissions, then links its other hard-linked names to the new
        version. A restore creates missing folders on the way. A note for
        the file's line (a link that could not be kept) goes to its remark.
        readAs, when given, is the file as its contents were read: the new
        version takes the name only while the file is still exactly that;
        nameChanged, when given, is set if it was not (see FolderAccess). */
    juce::Result replaceContents (FileRewrite& rewrite, const FileState* readAs = nullptr, bool* nameChanged = nullptr) const;

    /** The plan for the operation's files, in their order. */
    static std::vector<PlannedFile> plan (const BatchOperation& operation);

    /** The plan for files below folder, in their order. */
    static std::vector<PlannedFile> plan (const juce::File& folder, const juce::Array<juce::File>& files,
                                          Reach reach = Reach::resolvingLinksInside);

    /** Backs the files the plan processes up into a new archive in its
        folder, each read by descriptor while it is still the planned file,
        and notes in the plan where each copy lies; comment becomes the
        archive's comment; archiveState receives the archive's own state. */
    static juce::Result writeBackup (std::vector<PlannedFile>& plan, const std::string& comment, juce::File& archive,
                                     FileState& archiveState, const std::function<bool (int stored, int total)>& shouldStop);

    /** Removes the run's backup archive from the plan's folder while it is
        still the archive written (archiveState): a file that took its name
        meanwhile stays. False when nothing was removed. */
    static bool removeBackup (const std::vector<PlannedFile>& plan, const juce::File& archive, const FileState& archiveState);

    /** Writes every change made through the plan's folder to the disk. */
    static juce::Result syncToDisk (const std::vector<PlannedFile>& plan);

    /** Removes the temporary files that killed runs left in the folders of
        the plan's files, reached as the files are, and names each one. */
    static juce::StringArray removeLeftovers (const std::vector<PlannedFile>& plan);

private:
    const FileState* expectedState() const;
};
