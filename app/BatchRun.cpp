#include "BatchRun.h"

#include "AttributeConverter.h"
#include "BatchTexts.h"
#include "FormulaEngine.h"
#include "FormulaErrorText.h"
#include "RegularFileReader.h"
#include "SafeFileWriter.h"
#include "TextReplacement.h"
#include "ZipArchiveWriter.h"

#include <expr/Describe.h>

BatchRun::BatchRun (BatchSettings settingsToUse, FormulaEngine* engine,
                    AlertPresenter& alertPresenter, BatchReporter& batchReporter)
    : settings (std::move (settingsToUse)),
      formulaEngine (engine),
      alerts (alertPresenter),
      reporter (batchReporter)
{
}

juce::File BatchRun::freeBackupFile (const juce::String& directoryPath)
{
    const juce::File backup (directoryPath + "/" + BatchTexts::backupFileName);
    return backup.exists() ? backup.getNonexistentSibling() : backup;
}

juce::String BatchRun::storedNameFor (const juce::File& file, const juce::File& directory)
{
    const auto relative = file.getRelativePathFrom (directory);
    return relative.isEmpty() ? file.getFileName() : relative;
}

bool BatchRun::isReplace() const { return settings.operation == BatchTexts::replaceOperation; }
bool BatchRun::isConvert() const { return settings.operation == BatchTexts::convertOperation; }

BatchOutcome BatchRun::run()
{
    outcome = {};
    logText.clear();
    filesDone = 0;

    runSteps();

    outcome.log = juce::String::fromUTF8 (logText.data(), (int) logText.size());
    return outcome;
}

void BatchRun::runSteps()
{
    if (isReplace() && refuseEmptySearchText())
        return;

    if (! writeBackup())
        return;

    if (isReplace())
    {
        runReplaceLoop();
    }
    else if (isConvert())
    {
        if (! acceptFormula() || ! runConversionLoop())
            return;
    }

    finish();
}

void BatchRun::append (const juce::String& text)
{
    // A growing std::string keeps a long run's log linear: the framework's
    // string grows by exactly what is appended, copying the whole log each time.
    logText += text.toStdString();
    reporter.logAppended (text);
}

namespace
{
    BatchRun::Refusal emptySearchRefusal()
    {
        return { "Nothing to replace", "The search text is empty: enter the text to replace under \"Replace what:\"." };
    }

    BatchRun::Refusal invalidFormulaRefusal (const FormulaEngine& engine)
    {
        juce::String message = "The formula you have entered could not be evaluated.";
        if (engine.lastError() != nullptr)
            message << "\n" << describeFormulaError (*engine.lastError());
        return { "Invalid Formula", message };
    }
}

BatchRun::Refusal BatchRun::refusalFor (const BatchSettings& settings, FormulaEngine& engine)
{
    if (settings.operation == BatchTexts::replaceOperation && settings.replaceWhat.isEmpty())
        return emptySearchRefusal();

    if (settings.operation == BatchTexts::convertOperation
        && ! engine.setFormula (AttributeConverter::formulaBytes (settings.formula)))
        return invalidFormulaRefusal (engine);

    return {};
}

bool BatchRun::refuseEmptySearchText()
{
    if (settings.replaceWhat.isNotEmpty())
        return false;

    outcome.status = BatchOutcome::Status::refused;
    const auto refusal = emptySearchRefusal();
    alerts.showAlert (AlertPresenter::Icon::warning, refusal.title, refusal.message);
    return true;
}

bool BatchRun::writeBackup()
{
    outcome.backupFile = freeBackupFile (settings.directoryPath);
    append ("creating backup in file: " + outcome.backupFile.getFullPathName() + "...");

    ZipArchiveWriter writer;
    const juce::File directory (settings.directoryPath);
    for (const auto& file : settings.files)
        writer.addEntry (file, storedNameFor (file, directory));

    if (! writer.writeToFile (outcome.backupFile))
    {
        outcome.status = BatchOutcome::Status::backupFailed;
        append ("failed: " + writer.getLastError() + "\n");
        alerts.showAlert (AlertPresenter::Icon::warning, "Failure !",
                          "Batch processing aborted because backup could not be created");
        return false;
    }

    append ("done. \n");
    return true;
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

void BatchRun::rewriteFile (const juce::File& file, const std::function<FileRewrite (std::string_view)>& edit)
{
    std::string original;
    if (const auto read = RegularFileReader::read (file, original); read.failed())
        return finishFileLine (read);

    auto rewrite = edit (original);
    // A file without a change keeps its inode, times, links and attributes.
    if (rewrite.result.wasOk() && rewrite.changes > 0)
        rewrite.result = SafeFileWriter::replaceContents (file, rewrite.bytes.data(), rewrite.bytes.size());

    finishFileLine (rewrite.result, rewrite.remark);
}

void BatchRun::runReplaceLoop()
{
    for (const auto& file : settings.files)
    {
        // Files deleted since the scan, or turned into folders, are skipped without a word.
        if (file.existsAsFile())
        {
            append ("processing file: " + file.getFullPathName() + "...");
            rewriteFile (file, [this] (std::string_view original)
            {
                return TextReplacement::apply (original, settings.replaceWhat, settings.replaceWith);
            });
        }

        reporter.fileDone (++filesDone, settings.files.size());
    }
}

bool BatchRun::acceptFormula()
{
    jassert (formulaEngine != nullptr);
    if (formulaEngine != nullptr && formulaEngine->setFormula (AttributeConverter::formulaBytes (settings.formula)))
        return true;

    outcome.status = BatchOutcome::Status::invalidFormula;
    const auto refusal = formulaEngine != nullptr ? invalidFormulaRefusal (*formulaEngine)
                                                  : Refusal { "Invalid Formula", "The formula you have entered could not be evaluated." };
    alerts.showAlert (AlertPresenter::Icon::warning, refusal.title, refusal.message);
    return false;
}

bool BatchRun::runConversionLoop()
{
    AttributeConverter converter (*formulaEngine, settings.attribute);

    for (const auto& file : settings.files)
    {
        if (file.existsAsFile())
        {
            append ("processing file: " + file.getFullPathName() + "...");

            try
            {
                rewriteFile (file, [&converter] (std::string_view original) { return converter.rewrite (original); });
            }
            catch (const Expr::Exception& error)
            {
                // The formula cannot go on: this file stays as it was, earlier ones
                // stay converted, the rest are not touched.
                abortOnEvaluationError (file, juce::String (Expr::Describe (error)));
                return false;
            }
        }

        reporter.fileDone (++filesDone, settings.files.size());
    }

    return true;
}

void BatchRun::abortOnEvaluationError (const juce::File& file, const juce::String& error)
{
    ++outcome.filesFailed;
    outcome.status = BatchOutcome::Status::aborted;
    append ("failed: " + error + "\n");
    alerts.showAlert (AlertPresenter::Icon::warning, "Batch processing aborted",
                      "The formula failed on " + file.getFullPathName() + ": " + error + ".\n"
                          + "This file and the files after it are unchanged; the files before it were converted. "
                          + "Old files were backed up in " + outcome.backupFile.getFullPathName());
}

void BatchRun::finish()
{
    outcome.status = BatchOutcome::Status::completed;
    append ("\n");
    append ("Batch processing finished. \n");

    juce::String message = "old files were backep up in " + outcome.backupFile.getFullPathName();
    if (outcome.filesFailed > 0)
        message << "\n" << outcome.filesFailed << (outcome.filesFailed == 1 ? " file" : " files")
                << " could not be processed and stayed unchanged: see the log.";

    alerts.showAlert (outcome.filesFailed > 0 ? AlertPresenter::Icon::warning : AlertPresenter::Icon::information,
                      "Batch processing finished", message);
}
