#include "BatchJob.h"

#include "BatchOperationFactory.h"
#include "BatchPreview.h"
#include "BatchRun.h"
#include "PreviewText.h"

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
    setProgress (filesTotal > 0 ? (double) filesDone / filesTotal : 1.0,
                 juce::String (filesDone) + " of " + juce::String (filesTotal) + " files");
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

std::unique_ptr<BatchJob> BatchJob::forRun (const BatchSettings& settings, FormulaEngine& engine)
{
    return std::make_unique<BatchJob> ([settings, &engine] (BatchReporter& reporter, const std::atomic<bool>& cancel) {
        BatchRun run (settings, &engine, reporter);
        run.setCancelFlag (cancel);
        return run.run();
    });
}

std::unique_ptr<BatchJob> BatchJob::forPreview (const BatchSettings& settings, FormulaEngine& engine)
{
    return std::make_unique<BatchJob> ([settings, &engine] (BatchReporter& reporter, const std::atomic<bool>& cancel) {
        BatchOutcome outcome;
        const auto operation = BatchOperationFactory::create (settings, &engine);
        if (const auto refusal = BatchOperation::prepareForRun (operation.get()); refusal.isRefused())
        {
            outcome.title = refusal.title;
            outcome.message = refusal.message;
            return outcome;
        }

        // The values each file would get show even where its changed lines do not fit.
        operation->setRecordsChanges (true);
        BatchPreview::Options options;
        options.changedLines = true;
        BatchPreview preview (*operation, options);
        preview.setCancelFlag (cancel);
        preview.setProgress ([&reporter] (int done, int total) { reporter.fileDone (done, total); });

        // Each file's text goes to the log as it comes: the log grows with the bar.
        reporter.logAppended ("Preview: nothing was written\n\n");
        PreviewText text;
        const auto summary = preview.run ([&] (const BatchPreview::FilePreview& file) { reporter.logAppended (text.file (file)); });
        reporter.logAppended (text.end (summary));
        if (summary.cancelled)
            reporter.logAppended ("\nPreview cancelled. \n");

        outcome.status = summary.cancelled ? BatchOutcome::Status::cancelled : BatchOutcome::Status::completed;
        return outcome;
    });
}
