#include "BatchRun.h"

#include "BackupArchive.h"
#include "DisplayName.h"
#include "FolderLock.h"
#include "PlannedFile.h"
#include "FileReadAhead.h"

#include <new>
#include <stdexcept>
#include <tuple>

BatchRun::BatchRun (BatchOperation& operationToRun, BatchReporter& batchReporter)
    : operation (&operationToRun), reporter (batchReporter)
{
}

BatchRun::BatchRun (const BatchSettings& settings, FormulaEngine* formulaEngine, BatchReporter& batchReporter)
    : ownedOperation (BatchOperation::create (settings, formulaEngine)),
      operation (ownedOperation.get()),
      reporter (batchReporter)
{
}

BatchOutcome BatchRun::run()
{
    outcome = {};
    logText.clear();
    plan.clear();

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
    const juce::File directory (operation->getSettings().directoryPath);
    const auto locked = lock.acquire (
        directory, [this] { append ("waiting for another run in this folder to finish...\n"); }, cancel);
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

    if (! writeBackup() || ! processFiles())
        return;

    finish();
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
    const auto refusal = BatchOperation::checkBeforeRun (operation);
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
    const juce::File directory (operation->getSettings().directoryPath);
    const auto expected = BackupArchive::freeFile (directory.getFullPathName());
    append ("creating backup in file: " + DisplayName::of (expected) + "...");

    const auto written = PlannedFile::writeBackup (plan, outcome.backupFile, [this] { return isCancelled(); });
    if (written.failed())
    {
        if (isCancelled())
        {
            append ("\n");
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
    // Parsing the next file overlaps converting and writing this one.
    const auto ahead = FileReadAhead::startFor (*operation, plan);
    const juce::ScopedValueSetter<FileReadAhead*> readingAhead (readAhead, ahead.get());

    int filesDone = 0;
    for (const auto& planned : plan)
    {
        if (isCancelled())
        {
            cancelled();
            return false;
        }

        if (! processFile (planned))
            return false;

        reporter.fileDone (++filesDone, (int) plan.size());
    }

    return true;
}

bool BatchRun::processFile (const PlannedFile& planned)
{
    if (planned.isSkipped (operation->createsMissingFiles()))
        return true;

    append (operation->fileLinePrefix() + DisplayName::of (planned.file) + "...");

    switch (planned.kind)
    {
        case PlannedFile::Kind::outside:
            finishFileLine (juce::Result::fail ("it leads to " + planned.detail + ", outside the folder: not backed up, not changed"));
            return true;

        case PlannedFile::Kind::alias:
            append ("skipped: the same file as " + planned.detail + ", processed under that name \n");
            return true;

        case PlannedFile::Kind::process:
            break;
    }

    try
    {
        rewriteFile (planned);
    }
    catch (const std::bad_alloc&)
    {
        finishFileLine (juce::Result::fail ("not enough memory"));
    }
    catch (const std::length_error&)
    {
        finishFileLine (juce::Result::fail ("not enough memory"));
    }
    catch (const BatchOperation::StopRun& stop)
    {
        // An evaluation stopped by a cancel left its file as it was.
        if (isCancelled())
        {
            append ("cancelled, unchanged \n");
            cancelled();
            return false;
        }

        ++outcome.filesFailed;
        outcome.status = BatchOutcome::Status::aborted;
        outcome.title = "Batch processing aborted";
        outcome.message = stop.alertMessage;
        append ("failed: " + stop.reason + "\n");
        return false;
    }
    return true;
}

void BatchRun::rewriteFile (const PlannedFile& planned)
{
    const auto prepared = FileReadAhead::obtain (readAhead, *operation, planned);
    if (prepared.read.failed())
        return finishFileLine (prepared.read);

    auto rewrite = operation->rewriteWith (planned.file, prepared.bytes, prepared.analysis.get());

    // A file without a change keeps its inode, times, links and attributes.
    if (rewrite.result.wasOk() && rewrite.changes > 0)
    {
        rewrite.result = planned.replaceContents (rewrite);
        if (rewrite.result.wasOk())
            ++outcome.filesChanged;
    }

    finishFileLine (rewrite.result, rewrite.remark);
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
