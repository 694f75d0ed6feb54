#include "BackupArchive.h"

#include "ZipArchiveWriter.h"

juce::File BackupArchive::freeFile (const juce::String& directoryPath)
{
    const juce::File backup (directoryPath + "/" + baseName + ".zip");
    return backup.exists() ? backup.getNonexistentSibling() : backup;
}

juce::String BackupArchive::storedNameFor (const juce::File& file, const juce::File& directory)
{
    const auto relative = file.getRelativePathFrom (directory);
    return relative.isEmpty() ? file.getFileName() : relative;
}

juce::Result BackupArchive::write (const juce::File& target, const juce::Array<juce::File>& files, const juce::File& directory)
{
    ZipArchiveWriter writer;
    for (const auto& file : files)
        writer.addEntry (file, storedNameFor (file, directory));

    if (! writer.writeToFile (target))
        return juce::Result::fail (writer.getLastError());
    return juce::Result::ok();
}
