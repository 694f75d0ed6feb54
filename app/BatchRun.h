#pragma once

#include "AlertPresenter.h"
#include "BatchReporter.h"
#include "BatchSettings.h"
#include "FileRewrite.h"

#include <functional>
#include <string_view>

class FormulaEngine;

/**
    One press of "Do it!": backs every listed file up into a new ZIP archive in
    the folder, then rewrites the files one by one, keeping a running log and
    telling the user through alerts. Knows nothing of widgets: the panel and
    the command-line tool both hand it their settings and show what it reports.
*/
class BatchRun
{
public:
    /** formulaEngine is needed for "convert value" only; it keeps its variables across runs. */
    BatchRun (BatchSettings settings, FormulaEngine* formulaEngine,
              AlertPresenter& alerts, BatchReporter& reporter);

    BatchOutcome run();

    /** The backup archive a run in this folder would write: "QuillmereBackup.zip",
        or the first free numbered sibling. */
    static juce::File freeBackupFile (const juce::String& directoryPath);

    /** Why a run with these settings would be refused, as the alert says it;
        an empty title when it would go ahead. Parses the formula. */
    struct Refusal { juce::String title, message; };
    static Refusal refusalFor (const BatchSettings& settings, FormulaEngine& formulaEngine);

    /** Stored name of a file in the backup: its path relative to the folder. */
    static juce::String storedNameFor (const juce::File& file, const juce::File& directory);

private:
    bool isReplace() const;
    bool isConvert() const;

    void runSteps();
    void append (const juce::String& text);
    bool refuseEmptySearchText();
    bool writeBackup();
    void finishFileLine (const juce::Result& result, const juce::String& remark = {});
    void runReplaceLoop();
    bool runConversionLoop();
    bool acceptFormula();
    void abortOnEvaluationError (const juce::File& file, const juce::String& error);
    void finish();

    /** Reads the file, lets edit compute its new bytes, writes them when
        anything changed and finishes the file's log line. An exception from
        edit leaves the file as it was and the line open. */
    void rewriteFile (const juce::File& file, const std::function<FileRewrite (std::string_view)>& edit);

    BatchSettings settings;
    FormulaEngine* formulaEngine;
    AlertPresenter& alerts;
    BatchReporter& reporter;
    BatchOutcome outcome;
    std::string logText;
    int filesDone = 0;
};
