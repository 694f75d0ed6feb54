#pragma once

#include "BatchFileLoop.h"
#include "BatchOperation.h"
#include "BatchOutcome.h"
#include "BatchReporter.h"
#include "PlannedFile.h"

#include <atomic>

class FormulaEngine;

/**
    One press of "Do it!", for any operation: refuses what the operation
    refuses, takes the folder's lock, backs every affected file up into a new
    ZIP archive in the folder, then rewrites the files one by one, keeping a
    running log. Files whose real path lies outside the folder are neither
    backed up nor changed, and a file reached under two names is processed
    once. It shows nothing itself: the panel and the command-line tool turn
    the outcome into alerts and lines.
*/
class BatchRun
{
public:
    BatchRun (BatchOperation& operation, BatchReporter& reporter);

    /** The operation the settings name; formulaEngine keeps its variables across runs. */
    BatchRun (const BatchSettings& settings, FormulaEngine* formulaEngine, BatchReporter& reporter);

    /** While set, the run stops at the next file (or during the backup,
        before anything changed); the file at hand is finished first. */
    void setCancelFlag (const std::atomic<bool>& flag) { cancel = &flag; }

    BatchOutcome run();

private:
    void runSteps();
    void append (const juce::String& text);
    bool refuse();
    bool isCancelled() const;
    void planFiles();
    void removeLeftovers();
    bool writeBackup();
    bool processFiles();
    void syncChanges();
    void removeUnusedBackup();
    bool finishFile (BatchFileLoop::Step& step);
    void reportFile (BatchFileLoop::Step& step, FileOutcome::Status status, const juce::String& reason);
    void writeStep (BatchFileLoop::Step& step);
    void finishRewrittenFile (const BatchFileLoop::Step& step);
    void finishFileLine (const juce::Result& result, const juce::String& remark = {});
    void finish();
    void cancelled();

    std::unique_ptr<BatchOperation> ownedOperation;
    BatchOperation* operation;
    BatchReporter& reporter;
    const std::atomic<bool>* cancel = nullptr;
    std::vector<PlannedFile> plan;
    FileState backupState; // the archive written, told apart from a file that takes its name later
    BatchOutcome outcome;
    std::string logText;
    juce::String stoppedAt; // the file whose operation stopped the run, once it has
};
