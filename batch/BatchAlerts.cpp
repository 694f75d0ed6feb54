#include "BatchAlerts.h"

#include "DisplayName.h"

namespace BatchAlerts
{
    Alert forOutcome (const BatchOutcome& outcome)
    {
        using Icon = AlertPresenter::Icon;
        const auto backupPath = DisplayName::of (outcome.backupFile);

        switch (outcome.status)
        {
            case BatchOutcome::Status::refused:
                return { Icon::warning, outcome.title, outcome.message };

            case BatchOutcome::Status::backupFailed:
                return { Icon::warning, "Failure !", "Batch processing aborted because backup could not be created" };

            case BatchOutcome::Status::aborted:
                return { Icon::warning, outcome.title,
                         outcome.message + (outcome.backupFile != juce::File() ? "Old files were backed up in " + backupPath : juce::String ("No file was changed, and the backup was removed.")) };

            case BatchOutcome::Status::cancelled:
                return { Icon::warning, "Batch processing cancelled",
                         juce::String (outcome.filesChanged) + (outcome.filesChanged == 1 ? " file was" : " files were")
                             + " changed before the run stopped."
                             + (outcome.backupFile != juce::File() ? " Old files were backed up in " + backupPath
                                                                   : juce::String (" No backup was written and nothing was changed.")) };

            case BatchOutcome::Status::completed:
                break;
        }

        // The first line stays as it always was; the counts follow on a line of their own.
        auto message = outcome.message;
        message << "\n"
                << outcome.filesChanged << " changed, " << (outcome.filesProcessed - outcome.filesChanged)
                << " unchanged, " << outcome.filesFailed << " failed";
        if (outcome.filesFailed > 0)
            message << "\n"
                    << outcome.filesFailed << (outcome.filesFailed == 1 ? " file" : " files")
                    << " could not be processed and stayed unchanged: see the log.";

        return { outcome.filesFailed > 0 ? Icon::warning : Icon::information, outcome.title, message };
    }
}
