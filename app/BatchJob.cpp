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
    progress = filesTotal > 0 ? (double) filesDone / filesTotal : 1.0;
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
