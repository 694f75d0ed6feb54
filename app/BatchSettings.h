#pragma once

#include <juce_core/juce_core.h>

/** The parameters of one batch run, as read from the panel or a command line. */
struct BatchSettings
{
    juce::String operation;          // "replace string" or "convert value"
    juce::String replaceWhat;
    juce::String replaceWith;
    juce::String attribute;
    juce::String formula;
    juce::String directoryPath;      // the folder holding the backup, the log and the files
    juce::Array<juce::File> files;   // the affected files, in list order
};

/** How a run ended. */
struct BatchOutcome
{
    enum class Status
    {
        completed,        // every listed file was dealt with; some may have failed
        refused,          // nothing to do with these parameters; no backup, no change
        backupFailed,     // the backup could not be written; no change
        invalidFormula,   // the formula does not parse; backup written, no change
        aborted           // an evaluation error stopped the run part way
    };

    Status status = Status::refused;
    int filesProcessed = 0;   // rewritten successfully
    int filesFailed = 0;      // left unchanged with a "failed: " line
    juce::File backupFile;
    juce::String log;

    bool changedNothing() const { return status == Status::refused || status == Status::backupFailed || status == Status::invalidFormula; }
};
