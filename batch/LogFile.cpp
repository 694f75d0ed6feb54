#include "LogFile.h"

#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
#include "FilePermissions.h"
#include "FolderAccess.h"
#include "TextReplacement.h"

namespace
{
    constexpr const char* logStem = "QuillmereLog";
    constexpr const char* logExtension = ".txt";
}

juce::File LogFile::freeLogFile (const juce::String& directoryPath)
{
    const juce::File directory (directoryPath);
    return ExclusiveFile::numberedName (directory, logStem, logExtension,
                                        ExclusiveFile::firstFreeNumber (directory, logStem, logExtension));
}

juce::Result LogFile::write (const juce::File& directory, const juce::Array<juce::File>& listedFiles,
                             const juce::String& description, const juce::String& log, juce::File& written)
{
    juce::String text;
    text << "Quillmere Logfile \n \n"
         << description << "\n"
         << log;
    const auto bytes = TextReplacement::withCrLf (text.toStdString());

    const FolderAccess folder (directory);
    if (folder.getOpenResult().failed())
        return folder.getOpenResult();

    FilePermissions readers;
    for (const auto& file : listedFiles)
        readers.add (folder, FolderAccess::relativePathOf (file, directory));

    ExclusiveFile newFile;
    if (const auto created = newFile.create (folder.getDescriptor(), directory, readers.widest()); created.failed())
        return created;
    if (const auto narrowed = newFile.narrowPermissions (readers.forGroup (newFile.getGroup())); narrowed.failed())
        return narrowed;

    FileDescriptorOutputStream out (newFile.getDescriptor());
    if (! out.write (bytes.data(), bytes.size()))
        return juce::Result::fail ("cannot write the log (" + out.getStatus().getErrorMessage() + ")");

    return newFile.publishNumbered (directory, logStem, logExtension, written);
}
