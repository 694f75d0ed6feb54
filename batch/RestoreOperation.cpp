#include "RestoreOperation.h"

#include "BackupComment.h"
#include "DisplayName.h"
#include "FileState.h"


namespace
{
    BatchSettings inArchiveFolder (BatchSettings settings)
    {
        settings.directoryPath = settings.workingFolder().getFullPathName();
        settings.recursive = false;
        return settings;
    }
}

const OperationDeclaration& RestoreOperation::declaration()
{
    static const OperationDeclaration declared {
        "restore backup",
        "--restore",
        {},
        true,
        { { "archive", ParameterDeclaration::Kind::archive, "Backup:", "backupLabel", {}, {}, {}, "ARCHIVE", "the ARCHIVE to restore from", {}, {} } },
        { "write every file of the backup ARCHIVE back to its",
          "place in the folder that holds ARCHIVE, after",
          "backing up the files it replaces" },
        [] (const OperationParameters& parameters) { return parameters.file ("archive").getParentDirectory(); },
        "it restores into the folder that holds ARCHIVE",
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<RestoreOperation> (settings);
        },
    };
    return declared;
}

namespace
{
    /** Why there is nothing to restore from: the archive named is missing, or none was named. */
    juce::String noBackup (const juce::File& archive)
    {
        const auto name = DisplayName::of (archive);
        return name.isEmpty() ? juce::String ("there is no backup") : "there is no backup " + name;
    }
}

RestoreOperation::RestoreOperation (BatchSettings settingsToUse)
    : BatchOperation (inArchiveFolder (std::move (settingsToUse))),
      archiveFile (settings.parameters.file ("archive")),
      archive (archiveFile),
      opened (archiveFile.existsAsFile() ? archive.open() : juce::Result::fail (noBackup (archiveFile)))
{
    if (opened.wasOk())
        for (int i = 0; i < archive.getNumEntries(); ++i)
            entryForPath.emplace (archive.getEntryTarget (i, juce::File (settings.directoryPath)).getFullPathName(), i);
}

BatchOperation::Refusal RestoreOperation::prepare()
{
    auto problem = opened;
    if (problem.wasOk())
        problem = archive.verifyForRestore (juce::File (settings.directoryPath));
    if (problem.wasOk())
        return {};
    return { "Cannot restore", "Nothing was changed: " + problem.getErrorMessage() + "." };
}

juce::String RestoreOperation::describeTask() const
{
    juce::String text = "Restore files from backup: '" + DisplayName::of (archiveFile.getFileName()) + "' \n";
    if (opened.failed())
        return text;

    // Says which run this undoes, as the archive's comment tells it.
    const auto comment = archive.getComment();
    if (const auto task = BackupComment::taskOf (comment); task.isNotEmpty())
    {
        text << "which undoes the run of " << BackupComment::madeAtOf (comment) << ":\n";
        for (const auto& line : juce::StringArray::fromLines (task))
            if (line.isNotEmpty())
                text << "    " << line << "\n";
    }
    return text;
}

juce::Array<juce::File> RestoreOperation::affectedFiles() const
{
    juce::Array<juce::File> files;
    if (opened.wasOk())
        for (int i = 0; i < archive.getNumEntries(); ++i)
            files.add (archive.getEntryTarget (i, juce::File (settings.directoryPath)));
    return files;
}

namespace
{
    /** The file differs from its entry by size or CRC: it is not read. */
    struct DiffersFromItsEntry : FileAnalysis
    {
    };
}

std::unique_ptr<FileAnalysis> RestoreOperation::analyseUnread (const juce::File& file, juce::int64 size, juce::uint32 crc) const
{
    // Most files a restore comes to differ from their entries, and their
    // sizes or CRCs say so: such a file is neither read nor compared.
    const auto entry = entryForPath.find (file.getFullPathName());
    if (entry == entryForPath.end() || size < 0 || ! archive.surelyDiffers (entry->second, (juce::uint64) size, crc))
        return nullptr;
    return std::make_unique<DiffersFromItsEntry>();
}

FileRewrite RestoreOperation::rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis, const FileState& readAs)
{
    FileRewrite rewrite;
    const auto entry = entryForPath.find (file.getFullPathName());
    if (entry == entryForPath.end())
    {
        rewrite.result = juce::Result::fail ("not in the backup");
        return rewrite;
    }

    const int index = entry->second;
    bool same = false;
    if (dynamic_cast<const DiffersFromItsEntry*> (analysis) == nullptr)
        if (rewrite.result = archive.holdsSameBytes (index, original, same); rewrite.result.failed())
            return rewrite;

    // The mode as archived, exactly, but never setuid, setgid or sticky: a
    // restore must not hand out a program's privileges.
    const auto archived = archive.getEntryPermissions (index);
    rewrite.exactPermissions = archive.hasEntryPermissions (index);
    rewrite.permissionsIfNew = archived & 0777;

    // A file whose bytes and mode already match is left as it is.
    const bool exists = readAs.kind == FileState::Kind::regular;
    const bool modeDiffers = exists && rewrite.exactPermissions && readAs.mode != rewrite.permissionsIfNew;
    rewrite.changes = ! same || ! exists || modeDiffers ? 1 : 0;
    if (rewrite.changes > 0)
        rewrite.remark = droppedBitsRemark (archived);

    // Streamed from the archive when written, never held whole.
    rewrite.writeContents = [this, index] (juce::OutputStream& out) { return archive.writeTo (index, out); };
    return rewrite;
}

juce::String RestoreOperation::droppedBitsRemark (unsigned archived)
{
    juce::StringArray dropped;
    if ((archived & FileState::setUserIdBit) != 0)
        dropped.add ("setuid");
    if ((archived & FileState::setGroupIdBit) != 0)
        dropped.add ("setgid");
    if ((archived & FileState::stickyBit) != 0)
        dropped.add ("sticky");
    if (dropped.isEmpty())
        return {};
    const auto names = dropped.size() == 1 ? dropped[0]
                                           : dropped.joinIntoString (", ", 0, dropped.size() - 1) + " and " + dropped[dropped.size() - 1];
    return "(its " + names + (dropped.size() == 1 ? " bit was" : " bits were") + " not restored) ";
}

std::pair<juce::String, juce::String> RestoreOperation::finishedAlert (const juce::File& backup) const
{
    return { "Restore finished", "Files were restored from " + DisplayName::of (archiveFile)
                                     + "\nthe files they replaced were backed up in " + DisplayName::of (backup) };
}
