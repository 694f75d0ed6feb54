#include "BackupArchive.h"

#include "CheckedBufferedOutputStream.h"
#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
#include "ZipArchiveWriter.h"

#include <sys/stat.h>

juce::File BackupArchive::numberedFile (const juce::File& directory, int number)
{
    return directory.getChildFile (juce::String (baseName) + (number > 1 ? "(" + juce::String (number) + ")" : juce::String()) + ".zip");
}

juce::File BackupArchive::freeFile (const juce::String& directoryPath)
{
    const juce::File directory (directoryPath);
    for (int number = 1;; ++number)
    {
        const auto candidate = numberedFile (directory, number);
        // A dangling link counts as taken: the name is not free to use.
        if (! candidate.exists() && ! candidate.isSymbolicLink())
            return candidate;
    }
}

juce::String BackupArchive::storedNameFor (const juce::File& file, const juce::File& directory)
{
    const auto relative = file.getRelativePathFrom (directory);
    return relative.isEmpty() ? file.getFileName() : relative;
}

unsigned BackupArchive::strictestPermissions (const juce::Array<juce::File>& files)
{
    unsigned permissions = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
    for (const auto& file : files)
    {
        struct stat info;
        if (::stat (file.getFullPathName().toRawUTF8(), &info) == 0)
            permissions &= (info.st_mode | S_IRUSR | S_IWUSR);
    }
    return permissions;
}

juce::Result BackupArchive::write (const juce::Array<juce::File>& files, const juce::File& directory,
                                   juce::File& archive, const std::function<bool()>& shouldStop)
{
    ZipArchiveWriter writer;
    writer.shouldStop = shouldStop;
    for (const auto& file : files)
        writer.addEntry (file, storedNameFor (file, directory));

    ExclusiveFile newFile;
    if (const auto created = newFile.create (directory, strictestPermissions (files)); created.failed())
        return created;

    {
        // The checked buffer turns the many small header writes into few large
        // ones and keeps any failure of them.
        FileDescriptorOutputStream stream (newFile.getDescriptor());
        CheckedBufferedOutputStream buffered (stream, ZipArchiveWriter::outputBufferSize);
        const bool complete = writer.writeTo (buffered) && ! buffered.hasFailed() && stream.getStatus().wasOk();
        if (! complete)
            return juce::Result::fail (writer.getLastError().isNotEmpty() && writer.getLastError() != ZipArchiveEntry::writeFailedMessage
                                           ? writer.getLastError()
                                           : stream.getStatus().failed() ? stream.getStatus().getErrorMessage()
                                                                         : juce::String (ZipArchiveEntry::writeFailedMessage));
    }

    const auto firstFree = freeFile (directory.getFullPathName());
    int firstNumber = 1;
    while (numberedFile (directory, firstNumber) != firstFree)
        ++firstNumber;

    return newFile.publish ([&] (int attempt) { return numberedFile (directory, firstNumber + attempt - 1); }, archive);
}
