#pragma once

#include "BatchOperation.h"
#include "BatchOutcome.h"
#include "BatchReporter.h"

class FormulaEngine;

/**
    One press of "Do it!", for any operation: refuses what the operation
    refuses, backs every affected file up into a new ZIP archive in the
    folder, then rewrites the files one by one, keeping a running log. It
    shows nothing itself: the panel and the command-line tool turn the
    outcome into alerts and lines.
*/
class BatchRun
{
public:
    BatchRun (BatchOperation& operation, BatchReporter& reporter);

    /** The operation the settings name; formulaEngine keeps its variables across runs. */
    BatchRun (const BatchSettings& settings, FormulaEngine* formulaEngine, BatchReporter& reporter);

    BatchOutcome run();

private:
    void runSteps();
    void append (const juce::String& text);
    bool refuse();
    bool writeBackup();
    bool processFiles();
    void rewriteFile (const juce::File& file);
    void finishFileLine (const juce::Result& result, const juce::String& remark = {});
    void finish();

    std::unique_ptr<BatchOperation> ownedOperation;
    BatchOperation* operation;
    BatchReporter& reporter;
    juce::Array<juce::File> files;
    BatchOutcome outcome;
    std::string logText;
};
