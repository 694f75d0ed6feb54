#include "BatchRun.h"

#include "BackupArchive.h"
#include "BackupComment.h"
#include "BatchOperationFactory.h"
#include "DisplayName.h"
#include "FolderLock.h"
#include "PlannedFile.h"

#include <tuple>

BatchRun::BatchRun (BatchOperation& operationToRun, BatchReporter& batchReporter)
    : operation (&operationToRun), reporter (batchReporter)
{
}

BatchRun::BatchRun (const BatchSettings& settings, FormulaEngine* formulaEngine, BatchReporter& batchReporter)
    : ownedOperation (BatchOperationFactory::create (settings, formulaEngine)),
      operation (ownedOperation.get()),
      reporter (batchReporter)
{
}

BatchOutcome BatchRun::run()
{
    outcome = {};
    logText.clear();
    plan.clear();
    stoppedAt.clear();

    if (operation != nullptr)
        operation->setCancelFlag (cancel);
    runSteps();
    if (operation != nullptr)
        operation->setCancelFlag (nullptr);

    outcome.log = juce::String::fromUTF8 (logText.data(), (int) logText.size());
    return outcome;
}

void BatchRun::runSteps()
{
    if (refuse())
        return;

    FolderLock lock;
    const auto directory = operation->getFolder();
    const auto locked = lock.acquire (
        directory, [this] {
            append ("waiting for another run in this folder to finish...\n");
            reporter.phaseProgress (BatchReporter::Phase::waitingForLock, 0, 0);
        },
        cancel);
    if (locked.failed())
    {
        if (isCancelled())
            return cancelled();
        // Nothing can be backed up in a folder that cannot even be opened.
        outcome.status = BatchOutcome::Status::backupFailed;
        append ("creating backup in file: " + DisplayName::of (BackupArchive::freeFile (directory.getFullPathName()))
                + "...failed: " + locked.getErrorMessage() + "\n");
        return;
    }

    planFiles();
    removeLeftovers();

    if (! writeBackup())
        return;

    const bool completed = processFiles();
    syncChanges();
    if (completed)
        finish();
    else
        removeUnusedBackup();
}

void BatchRun::removeUnusedBackup()
{
    // A run stopped before it changed anything leaves no backup behind: the
    // newest backup must stay the one an undo wants. It is removed only while
    // its name still holds it: a file put there meanwhile is not the run's.
    if (outcome.filesChanged > 0 || outcome.backupFile == juce::File() || ! PlannedFile::removeBackup (plan, outcome.backupFile, backupState))
        return;
    append ("removed the backup " + DisplayName::of (outcome.backupFile) + ": no file was changed \n");
    outcome.backupFile = juce::File();
}

void BatchRun::syncChanges()
{
    // However the run ended, what it changed is on the disk before it says so.
    if (outcome.filesChanged == 0)
        return;
    if (const auto synced = PlannedFile::syncToDisk (plan); synced.failed())
        append ("warning: " + synced.getErrorMessage() + "\n");
}

void BatchRun::append (const juce::String& text)
{
    // A growing std::string keeps a long run's log linear: the framework's
    // string grows by exactly what is appended, copying the whole log each time.
    logText += text.toStdString();
    reporter.logAppended (text);
}

bool BatchRun::isCancelled() const
{
    return cancel != nullptr && cancel->load();
}

bool BatchRun::refuse()
{
    const auto refusal = BatchOperation::prepareForRun (operation);
    if (! refusal.isRefused())
        return false;

    outcome.status = BatchOutcome::Status::refused;
    outcome.title = refusal.title;
    outcome.message = refusal.message;
    return true;
}

void BatchRun::planFiles()
{
    plan = PlannedFile::plan (*operation);
}

void BatchRun::removeLeftovers()
{
    for (const auto& removed : PlannedFile::removeLeftovers (plan))
        append ("removed a temporary file left by an interrupted run: " + removed + "\n");
}

bool BatchRun::writeBackup()
{
    const auto directory = operation->getFolder();
    const auto expected = BackupArchive::freeFile (directory.getFullPathName());
    append ("creating backup in file: " + DisplayName::of (expected) + "...");

    const auto comment = BackupComment::make (*operation, juce::Time::getCurrentTime()).toStdString();
    const auto written = PlannedFile::writeBackup (plan, comment, outcome.backupFile, backupState, [this] (int stored, int total) {
        reporter.phaseProgress (BatchReporter::Phase::backup, stored, total);
        return isCancelled();
    });
    if (written.failed())
    {
        if (isCancelled())
        {
            // The name announced above was never written: the log must not
            // send anyone looking for it.
            append ("cancelled, no backup was written \n");
            cancelled();
            return false;
        }
        outcome.status = BatchOutcome::Status::backupFailed;
        append ("failed: " + written.getErrorMessage() + "\n");
        return false;
    }

    // Another run may have taken the name meanwhile; the archive never replaces it.
    append (outcome.backupFile == expected ? "done. \n"
                                           : "done. (saved as " + DisplayName::of (outcome.backupFile) + ", the name was taken meanwhile) \n");
    return true;
}

bool BatchRun::processFiles()
{
    BatchFileLoop loop (*operation, cancel, [this] (int done, int total) { reporter.fileDone (done, total); });

    BatchFileLoop::Handler handler;
    handler.fileStarts = [this] (const PlannedFile& planned) { append (operation->fileLinePrefix() + DisplayName::of (planned.file) + "..."); };
    handler.write = [this] (BatchFileLoop::Step& step) { writeStep (step); };
    handler.fileDone = [this] (BatchFileLoop::Step& step) { return finishFile (step); };
    // The files after a stop are still handed on, so that a report names them all.
    handler.listsFilesAfterStop = true;

    switch (loop.run (plan, handler))
    {
        case BatchFileLoop::End::completed: return true;
        case BatchFileLoop::End::cancelled: cancelled(); return false;
        case BatchFileLoop::End::stopped: return false;
    }
    return false;
}

bool BatchRun::finishFile (BatchFileLoop::Step& step)
{
    using Kind = BatchFileLoop::Step::Kind;
    using Status = FileOutcome::Status;
    switch (step.kind)
    {
        case Kind::outside:
        case Kind::readFailed:
            finishFileLine (juce::Result::fail (step.reason));
            reportFile (step, Status::failed, step.reason);
            return true;

        case Kind::alias:
            append ("skipped: " + step.reason + " \n");
            reportFile (step, Status::skipped, step.reason);
            return true;

        case Kind::rewritten:
            finishRewrittenFile (step);
            if (step.rewrite.result.failed())
                reportFile (step, Status::failed, step.rewrite.result.getErrorMessage());
            else
                reportFile (step, step.rewrite.changes > 0 ? Status::changed : Status::unchanged, {});
            return true;

        case Kind::cancelled:
            append ("cancelled, unchanged \n");
            reportFile (step, Status::skipped, "cancelled");
            return false;

        case Kind::stopped:
            ++outcome.filesFailed;
            outcome.status = BatchOutcome::Status::aborted;
            outcome.title = "Batch processing aborted";
            outcome.message = step.stop->alertMessage (outcome.filesChanged > 0);
            stoppedAt = DisplayName::of (step.planned.file);
            append ("failed: " + step.stop->reason + "\n");
            reportFile (step, Status::failed, step.stop->reason);
            return false;

        case Kind::notReached:
            reportFile (step, Status::skipped, "the run stopped at " + stoppedAt + " before it");
            return false;
    }
    return false;
}

void BatchRun::reportFile (BatchFileLoop::Step& step, FileOutcome::Status status, const juce::String& reason)
{
    FileOutcome file;
    file.file = step.planned.file;
    file.status = status;
    file.reason = reason;
    file.gzip = step.gzip.has_value();
    if (status == FileOutcome::Status::changed)
    {
        file.changes = step.rewrite.changes;
        file.changeList = std::move (step.rewrite.changeList);
    }
    reporter.fileFinished (file);
}

void BatchRun::writeStep (BatchFileLoop::Step& step)
{
    auto& rewrite = step.rewrite;
    try
    {
        // Written back as it came: compressed, under its own header.
        if (step.gzip.has_value())
            rewrite.bytes = GzipText::compress (rewrite.bytes, *step.gzip);
        rewrite.result = step.planned.replaceContents (rewrite, &step.readAs, &step.nameChanged);
    }
    catch (const std::bad_alloc&)
    {
        rewrite.result = juce::Result::fail ("not enough memory");
    }
}

void BatchRun::finishRewrittenFile (const BatchFileLoop::Step& step)
{
    // A file without a change was not written: it keeps its inode, times,
    // links and attributes.
    if (step.writes())
        ++outcome.filesChanged;
    finishFileLine (step.rewrite.result, step.gzip.has_value() ? "(gzip) " + step.rewrite.remark : step.rewrite.remark);
}

void BatchRun::finishFileLine (const juce::Result& result, const juce::String& remark)
{
    if (result.wasOk())
    {
        ++outcome.filesProcessed;
        append ("done. " + remark + "\n");
    }
    else
    {
        ++outcome.filesFailed;
        append ("failed: " + result.getErrorMessage() + "\n");
    }
}

void BatchRun::finish()
{
    outcome.status = BatchOutcome::Status::completed;
    std::tie (outcome.title, outcome.message) = operation->finishedAlert (outcome.backupFile);
    append ("\n");
    append ("Batch processing finished. \n");
}

void BatchRun::cancelled()
{
    outcome.status = BatchOutcome::Status::cancelled;
    append ("\n");
    append ("Batch processing cancelled. \n");
}
