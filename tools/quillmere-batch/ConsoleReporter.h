#pragma once

#include "AlertPresenter.h"
#include "BatchReporter.h"

#include <functional>

/** Prints the run's log to standard output as it grows, progress to standard
    error on a terminal, and warnings to standard error. */
class ConsoleReporter : public BatchReporter,
                        public AlertPresenter
{
public:
    ConsoleReporter();

    void logAppended (const juce::String& text) override;
    void fileDone (int filesDone, int filesTotal) override;
    void phaseProgress (Phase phase, int done, int total) override;
    void showAlert (Icon icon, const juce::String& title, const juce::String& message) override;
    void fileFinished (const FileOutcome& outcome) override;

    /** Called with each file's outcome, for a report. */
    std::function<void (const FileOutcome&)> onFileFinished;

    /** Writes out the log so far and ends the progress line, if one is showing. */
    void endProgress();

private:
    void showProgressLine (const juce::String& text, bool always);

    bool showProgress;
    bool logToTerminal;
    bool progressShowing = false;
    juce::int64 lastProgressTime = 0;
    juce::uint32 lastLogFlushTime = 0;
    static constexpr juce::uint32 logFlushInterval = 100; // milliseconds
};
