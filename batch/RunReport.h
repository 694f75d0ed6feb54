#pragma once

#include "BatchOutcome.h"
#include "BatchPreview.h"
#include "BatchSettings.h"
#include "FileOutcome.h"

#include <memory>
#include <string>

/**
    The machine-readable report of a run or a preview, as JSON: the task,
    each listed file with its status and its changes, the counts and how
    the run ended. Its fields are documented in the README and stay as they
    are; new ones may be added.
*/
class RunReport
{
public:
    /** A report of the run (or with dryRun, the preview) that task describes. */
    RunReport (const BatchSettings& settings, const juce::String& task, bool dryRun);
    ~RunReport();

    void add (const FileOutcome& file);

    /** A preview's file, as the run would leave it. */
    void add (const BatchPreview::FilePreview& preview);

    /** How a run ended. */
    void finish (const BatchOutcome& outcome);

    /** How a preview ended. */
    void finish (const BatchPreview::Summary& summary);

    /** A run or preview refused before any file. */
    void refuse (const juce::String& title, const juce::String& message);

    /** The report as UTF-8 JSON text, ending in a line feed. */
    std::string text() const;

    /** Writes the report to file through a temporary file that takes its
        name when it is complete, so that no half-written report is left. */
    juce::Result writeTo (const juce::File& file) const;

    /** A preview's file as the run would leave it. */
    static FileOutcome outcomeOf (const BatchPreview::FilePreview& preview);

private:
    struct Document;
    std::unique_ptr<Document> document;
};
