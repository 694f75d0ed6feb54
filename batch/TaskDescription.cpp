#include "TaskDescription.h"

#include "DisplayName.h"

juce::String buildTaskSummary (const BatchSettings& settings, const BatchOperation* operation)
{
    juce::String text;

    if (operation != nullptr)
        text << operation->describeTask();

    text << "\n"
         << "in "
         << "xml-files in folder: " << DisplayName::of (settings.directoryPath);

    // A restore takes the archive's files: neither the scope nor the pattern has a say.
    const bool listsFolder = settings.listsFolder();
    if (listsFolder && settings.recursive)
        text << "\nand all its subfolders (recursively)";

    if (const FilePattern pattern (settings.filePattern); listsFolder && ! pattern.isDefault())
        text << "\nfiles matching: " << pattern.getText();

    return text;
}

juce::String buildTaskDescription (const BatchSettings& settings, const BatchOperation* operation)
{
    auto text = buildTaskSummary (settings, operation);

    // What the listing could not enter is said, never passed over in silence.
    if (settings.listsFolder() && ! settings.unlisted.isEmpty())
        text << "\n\n"
             << settings.unlisted.joinIntoString ("\n");

    const auto files = operation != nullptr ? operation->affectedFiles() : settings.files;

    // Joined in one go: appending path by path would copy the text each time.
    juce::StringArray paths;
    paths.ensureStorageAllocated (files.size() + 1);
    for (const auto& file : files)
        paths.add (DisplayName::of (file));
    if (! paths.isEmpty())
        paths.add ({});

    text << "\n"
         << "\n"
         << "affected files (" << juce::String (files.size()) << "):\n"
         << "\n"
         << paths.joinIntoString ("\n");

    return text;
}
