#include "LogFile.h"

#include "FilePermissions.h"
#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
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

    ExclusiveFile newFile;
    if (const auto created = newFile.create (directory, FilePermissions::strictestFor (listedFiles)); created.failed())
        return created;

    FileDescriptorOutputStream out (newFile.getDescriptor());
    if (! out.write (bytes.data(), bytes.size()))
        return juce::Result::fail ("cannot write the log (" + out.getStatus().getErrorMessage() + ")");

    return newFile.publishNumbered (directory, logStem, logExtension, written);
}
