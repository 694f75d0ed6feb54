#include "BatchJob.h"

BatchJob::BatchJob (Work workToRun)
    : juce::Thread ("Quillmere batch"), work (std::move (workToRun))
{
}

BatchJob::~BatchJob()
{
    cancel();
    // No time limit: a file being written must be finished, never cut off.
    stopThread (-1);
}

void BatchJob::run()
{
    outcome = work (*this, cancelRequested);
    finished = true;
}

void BatchJob::logAppended (const juce::String& text)
{
    const std::lock_guard<std::mutex> guard (logLock);
    pendingLog += text.toStdString();
}

void BatchJob::fileDone (int filesDone, int filesTotal)
{
    setProgress (filesTotal > 0 ? (double) filesDone / filesTotal : 1.0, {});
}

void BatchJob::phaseProgress (Phase phase, int done, int total)
{
    // The bar moves during a long backup too, not only once files are rewritten.
    switch (phase)
    {
        case Phase::listing:
            setProgress (0.0, "listing the files");
            break;
        case Phase::waitingForLock:
            setProgress (0.0, "waiting for another run");
            break;
        case Phase::backup:
            setProgress (total > 0 ? (double) done / total : 1.0,
                         "backup: " + juce::String (done) + " of " + juce::String (total) + " files");
            break;
    }
}

void BatchJob::setProgress (double fraction, const juce::String& text)
{
    progress = fraction;
    const std::lock_guard<std::mutex> guard (logLock);
    progressText = text;
}

juce::String BatchJob::getProgressText()
{
    const std::lock_guard<std::mutex> guard (logLock);
    return progressText;
}

juce::String BatchJob::takeNewLog()
{
    std::string taken;
    {
        const std::lock_guard<std::mutex> guard (logLock);
        taken.swap (pendingLog);
    }
    return juce::String::fromUTF8 (taken.data(), (int) taken.size());
}
