#pragma once

#include "TextChange.h"

#include <juce_core/juce_core.h>

#include <vector>

/** What became of one listed file in a run or a preview, for a report. */
struct FileOutcome
{
    enum class Status
    {
        changed,   // rewritten (in a preview: would be)
        unchanged, // nothing to change in it
        failed,    // left as it was: reason says why
        skipped    // not worked on (an alias, after a stop, cancelled): reason says why
    };

    juce::File file;
    Status status = Status::unchanged;
    juce::String reason;
    int changes = 0;
    bool gzip = false;
    std::vector<TextChange> changeList; // when the operation recorded them
};
