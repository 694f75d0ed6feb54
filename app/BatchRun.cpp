#include "BatchRun.h"

#include "BackupArchive.h"
#include "RegularFileReader.h"
#include "SafeFileWriter.h"

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

    runSteps();

    outcome.log = juce::String::fromUTF8 (logText.data(), (int) logText.size());
    return outcome;
}

void BatchRun::runSteps()
{
    if (refuse() || ! writeBackup() || ! processFiles())
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

bool BatchRun::refuse()
{
    const auto refusal = operation != nullptr ? operation->refusal()
                                              : BatchOperation::Refusal { "Nothing to do", "No operation is chosen." };
    if (! refusal.isRefused())
        return false;

    outcome.status = BatchOutcome::Status::refused;
    outcome.title = refusal.title;
    outcome.message = refusal.message;
    return true;
}

bool BatchRun::writeBackup()
{
    const auto& settings = operation->getSettings();
    files = operation->affectedFiles();
    outcome.backupFile = BackupArchive::freeFile (settings.directoryPath);
    append ("creating backup in file: " + outcome.backupFile.getFullPathName() + "...");

    const auto written = BackupArchive::write (outcome.backupFile, files, juce::File (settings.directoryPath));
    if (written.failed())
    {
        outcome.status = BatchOutcome::Status::backupFailed;
        append ("failed: " + written.getErrorMessage() + "\n");
        return false;
    }

    append ("done. \n");
    return true;
}

bool BatchRun::processFiles()
{
    int filesDone = 0;
    for (const auto& file : files)
    {
        // Files deleted since the scan, or turned into folders, are skipped without a word.
        if (file.existsAsFile())
        {
            append ("processing file: " + file.getFullPathName() + "...");

            try
            {
                rewriteFile (file);
            }
            catch (const BatchOperation::StopRun& stop)
            {
                ++outcome.filesFailed;
                outcome.status = BatchOutcome::Status::aborted;
                outcome.title = "Batch processing aborted";
                outcome.message = stop.alertMessage;
                append ("failed: " + stop.reason + "\n");
                return false;
            }
        }

        reporter.fileDone (++filesDone, files.size());
    }

    return true;
}

void BatchRun::rewriteFile (const juce::File& file)
{
    std::string original;
    if (const auto read = RegularFileReader::read (file, original); read.failed())
        return finishFileLine (read);

    auto rewrite = operation->rewrite (file, original);
    // A file without a change keeps its inode, times, links and attributes.
    if (rewrite.result.wasOk() && rewrite.changes > 0)
        rewrite.result = SafeFileWriter::replaceContents (file, rewrite.bytes.data(), rewrite.bytes.size());

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
    append ("\n");
    append ("Batch processing finished. \n");
}
