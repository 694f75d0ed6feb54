#pragma once

#include <juce_core/juce_core.h>

/** What the batch run tells whoever shows it while it works. */
class BatchReporter
{
public:
    virtual ~BatchReporter() = default;

    /** The log of this run grew by text. */
    virtual void logAppended (const juce::String& text) = 0;

    /** One more listed file has been dealt with (processed, failed or skipped). */
    virtual void fileDone (int filesDone, int filesTotal) { juce::ignoreUnused (filesDone, filesTotal); }
};
