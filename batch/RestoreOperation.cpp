#include "RestoreOperation.h"

namespace
{
    BatchSettings inArchiveFolder (BatchSettings settings)
    {
        settings.directoryPath = settings.workingFolder().getFullPathName();
        settings.recursive = false;
        return settings;
    }
}

RestoreOperation::RestoreOperation (BatchSettings settingsToUse)
    : BatchOperation (inArchiveFolder (std::move (settingsToUse))),
      archive (settings.restore.archive),
      opened (settings.restore.archive.existsAsFile() ? archive.open()
                                                      : juce::Result::fail ("there is no backup " + settings.restore.archive.getFullPathName()))
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
    return "Restore files from backup: '" + settings.restore.archive.getFileName() + "' \n";
}

juce::Array<juce::File> RestoreOperation::affectedFiles() const
{
    juce::Array<juce::File> files;
    if (opened.wasOk())
        for (int i = 0; i < archive.getNumEntries(); ++i)
            files.add (archive.getEntryTarget (i, juce::File (settings.directoryPath)));
    return files;
}

FileRewrite RestoreOperation::rewrite (const juce::File& file, std::string_view original, const FileAnalysis*)
{
    FileRewrite rewrite;
    const auto entry = entryForPath.find (file.getFullPathName());
    if (entry == entryForPath.end())
    {
        rewrite.result = juce::Result::fail ("not in the backup");
        return rewrite;
    }

    rewrite.result = archive.read (entry->second, rewrite.bytes);
    rewrite.permissionsIfNew = archive.getEntryPermissions (entry->second);
    // A file whose bytes already match is left as it is.
    rewrite.changes = rewrite.result.wasOk() && (rewrite.bytes != original || ! file.existsAsFile()) ? 1 : 0;
    return rewrite;
}

std::pair<juce::String, juce::String> RestoreOperation::finishedAlert (const juce::File& backup) const
{
    return { "Restore finished", "Files were restored from " + settings.restore.archive.getFullPathName()
                                     + "\nthe files they replaced were backed up in " + backup.getFullPathName() };
}
