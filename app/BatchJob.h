#pragma once

#include "BatchOutcome.h"
#include "BatchReporter.h"
#include "BatchSettings.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class FormulaEngine;

/**
    Runs one piece of batch work (a run or a preview) on a worker thread, so
    that the window stays alive. The work gets a reporter and a cancel flag;
    the message thread polls what it reported: the log text added since it
    last asked, the progress, and in the end the outcome. Nothing here
    touches a widget, and nothing is shown from the worker.
*/
class BatchJob : private juce::Thread,
                 private BatchReporter
{
public:
    using Work = std::function<BatchOutcome (BatchReporter& reporter, const std::atomic<bool>& cancel)>;

    explicit BatchJob (Work work);

    /** "Do it!": the run settings describe. The engine is the job's until it ends. */
    static std::unique_ptr<BatchJob> forRun (const BatchSettings& settings, FormulaEngine& engine);

    /** "Preview": what the run would change, file by file and line by line, into the log; writes nothing. */
    static std::unique_ptr<BatchJob> forPreview (const BatchSettings& settings, FormulaEngine& engine);

    /** Cancels the work and waits for it: the file at hand is finished first. */
    ~BatchJob() override;

    void start() { startThread(); }

    /** Asks the work to stop at the next file (or evaluation check). */
    void cancel() { cancelRequested = true; }

    bool isFinished() const { return finished; }

    /** The log text reported since the last call. */
    juce::String takeNewLog();

    /** How far the current phase is, from 0 to 1. */
    double getProgress() const { return progress; }

    /** What the progress bar should say, or nothing for the plain percentage. */
    juce::String getProgressText();

    /** What the work returned; valid once isFinished(). */
    const BatchOutcome& getOutcome() const { return outcome; }

private:
    void run() override;
    void logAppended (const juce::String& text) override;
    void fileDone (int filesDone, int filesTotal) override;
    void phaseProgress (Phase phase, int done, int total) override;
    void setProgress (double fraction, const juce::String& text);

    Work work;
    std::atomic<bool> cancelRequested { false }, finished { false };
    std::atomic<double> progress { 0.0 };
    std::mutex logLock;
    std::string pendingLog;
    juce::String progressText; // guarded by logLock
    BatchOutcome outcome;
};
