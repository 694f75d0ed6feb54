#include "LogFile.h"

#include "BackupArchive.h"
#include "BatchTexts.h"
#include "ExclusiveFile.h"
#include "TextReplacement.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace
{
    juce::File numberedLogFile (const juce::File& directory, int number)
    {
        return directory.getChildFile (number > 1 ? "QuillmereLog(" + juce::String (number) + ").txt"
                                                  : juce::String (BatchTexts::logFileName));
    }

    bool writeAll (int descriptor, const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size())
        {
            const auto written = ::write (descriptor, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            done += (size_t) written;
        }
        return true;
    }
}

juce::File LogFile::freeLogFile (const juce::String& directoryPath)
{
    const juce::File directory (directoryPath);
    for (int number = 1;; ++number)
        if (const auto candidate = numberedLogFile (directory, number); ! candidate.exists() && ! candidate.isSymbolicLink())
            return candidate;
}

juce::Result LogFile::write (const juce::File& directory, const juce::Array<juce::File>& listedFiles,
                             const juce::String& description, const juce::String& log, juce::File& written)
{
    juce::String text;
    text << "Quillmere Logfile \n \n" << description << "\n" << log;
    const auto bytes = TextReplacement::withCrLf (text.toStdString());

    ExclusiveFile newFile;
    if (const auto created = newFile.create (directory, BackupArchive::strictestPermissions (listedFiles)); created.failed())
        return created;
    if (! writeAll (newFile.getDescriptor(), bytes))
        return juce::Result::fail ("cannot write the log (" + juce::String (std::strerror (errno)) + ")");

    int first = 1;
    while (numberedLogFile (directory, first) != freeLogFile (directory.getFullPathName()))
        ++first;
    return newFile.publish ([&] (int attempt) { return numberedLogFile (directory, first + attempt - 1); }, written);
}
