#pragma once

#include <juce_core/juce_core.h>

/** The log file that "Save Log" writes beside the backup. */
class LogFile
{
public:
    /** "QuillmereLog.txt" in the folder, or the first free numbered sibling. */
    static juce::File freeLogFile (const juce::String& directoryPath);

    /** The header line, a line holding one blank, the task description, an empty
        line and the log, as UTF-8 with CR LF line ends. The file is new: it is
        written under a temporary name and then takes the first free name, never
        replacing or following anything, readable by no more users than the
        listed files are (FilePermissions). written receives its name. */
    static juce::Result write (const juce::File& directory, const juce::Array<juce::File>& listedFiles,
                               const juce::String& description, const juce::String& log, juce::File& written);
};
