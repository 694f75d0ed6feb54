#pragma once

#include "FileOutcome.h"

#include <juce_core/juce_core.h>

/** What the batch run tells whoever shows it while it works. */
class BatchReporter
{
public:
    virtual ~BatchReporter() = default;

    /** The log of this run grew by text. */
    virtual void logAppended (const juce::String& text) = 0;

    /** The phases of a run before its files, each shown as it goes. */
    enum class Phase
    {
        listing,        // the folder's files are being listed
        waitingForLock, // another run holds the folder
        backup          // done files of total are stored in the backup
    };

    virtual void phaseProgress (Phase phase, int done, int total) { juce::ignoreUnused (phase, done, total); }

    /** One more listed file has been dealt with (processed, failed or skipped). */
    virtual void fileDone (int filesDone, int filesTotal) { juce::ignoreUnused (filesDone, filesTotal); }

    /** What became of one listed file, once its log line is complete. */
    virtual void fileFinished (const FileOutcome& outcome) { juce::ignoreUnused (outcome); }
};
