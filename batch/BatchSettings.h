#pragma once

#include <juce_core/juce_core.h>

/** The parameters of one batch run and of its description, as read from the
    panel or a command line. */
struct BatchSettings
{
    juce::String operation; // "replace string", "convert value" or "restore backup"
    juce::String replaceWhat;
    juce::String replaceWith;
    juce::String attribute;
    juce::String formula;
    juce::String directoryPath;    // the folder holding the backup, the log and the files
    bool recursive = false;        // "files in folder and subfolders"
    juce::Array<juce::File> files; // the listed files, in list order
    juce::File backupArchive;      // "restore backup": the archive to restore from
};
