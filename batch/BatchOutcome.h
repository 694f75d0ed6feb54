#pragma once

#include <juce_core/juce_core.h>

/** What a batch run did, for the panel and the command-line tool to report. */
struct BatchOutcome
{
    enum class Status
    {
        completed,    // every listed file was dealt with; some may have failed
        refused,      // nothing to do with these parameters; no backup, no change
        backupFailed, // the backup could not be written; no change
        aborted,      // the operation could not go on part way through
        cancelled     // stopped on request; files before the stop are done, the rest untouched
    };

    Status status = Status::refused;
    int filesProcessed = 0; // dealt with successfully, rewritten or already as wanted
    int filesFailed = 0;    // left unchanged with a "failed: " line
    int filesChanged = 0;   // of the processed files, those whose bytes were rewritten
    juce::File backupFile;
    juce::String log;

    juce::String title, message; // the refusal, or why the run stopped part way

    bool changedNothing() const
    {
        return status == Status::refused || status == Status::backupFailed
            || (status == Status::cancelled && filesChanged == 0);
    }
};
