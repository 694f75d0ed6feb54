#include "LogFile.h"

#include "BatchTexts.h"
#include "SafeFileWriter.h"
#include "TextReplacement.h"

juce::File LogFile::freeLogFile (const juce::String& directoryPath)
{
    const juce::File logFile (directoryPath + "/" + BatchTexts::logFileName);
    return logFile.exists() ? logFile.getNonexistentSibling() : logFile;
}

juce::Result LogFile::write (const juce::File& target, const juce::String& description, const juce::String& log)
{
    juce::String text;
    text << "Quillmere Logfile \n \n" << description << "\n" << log;

    const auto bytes = TextReplacement::withCrLf (text.toStdString());
    return SafeFileWriter::replaceContents (target, bytes.data(), bytes.size());
}
