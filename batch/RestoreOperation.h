#pragma once

#include "BackupArchive.h"
#include "BatchOperation.h"

#include <map>

/**
    "restore backup": every file of a backup archive written back to its path
    under the folder that holds the archive. The whole archive is verified
    before anything changes; files that are not in it are left alone. Each
    entry is compared and written as a stream, never held whole, and its
    file gets the archived mode exactly, less the setuid, setgid and sticky
    bits (the file's line says when one was dropped).
*/
class RestoreOperation : public BatchOperation
{
public:
    /** The settings' archive is read; its folder becomes the run's folder. */
    explicit RestoreOperation (BatchSettings settings);

    static const OperationDeclaration& declaration();

    Refusal prepare() override;
    juce::String describeTask() const override;
    juce::Array<juce::File> affectedFiles() const override;
    std::unique_ptr<FileAnalysis> analyseUnread (const juce::File& file, juce::int64 size, juce::uint32 crc) const override;
    FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                         const FileState& readAs) override;
    juce::String fileLinePrefix() const override { return "restoring file: "; }
    bool createsMissingFiles() const override { return true; }
    bool opensGzip() const override { return false; } // an archived file comes back byte for byte
    // A restore writes over whatever a file holds: a change made after its
    // backup would be lost with no backup holding it.
    bool readsChangedFilesAgain() const override { return false; }
    std::pair<juce::String, juce::String> finishedAlert (const juce::File& backup) const override;

private:
    /** "(its setuid bit was not restored) " for the special bits of an archived mode. */
    static juce::String droppedBitsRemark (unsigned archivedPermissions);

    juce::File archiveFile;
    BackupArchive archive;
    juce::Result opened;
    std::map<juce::String, int> entryForPath;
};
