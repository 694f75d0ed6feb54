#include "BatchAlerts.h"

namespace BatchAlerts
{
    Alert forOutcome (const BatchOutcome& outcome)
    {
        using Icon = AlertPresenter::Icon;
        const auto backupPath = outcome.backupFile.getFullPathName();

        switch (outcome.status)
        {
            case BatchOutcome::Status::refused:
                return { Icon::warning, outcome.title, outcome.message };

            case BatchOutcome::Status::backupFailed:
                return { Icon::warning, "Failure !", "Batch processing aborted because backup could not be created" };

            case BatchOutcome::Status::aborted:
                return { Icon::warning, outcome.title, outcome.message + "Old files were backed up in " + backupPath };

            case BatchOutcome::Status::completed:
                break;
        }

        juce::String message = "old files were backep up in " + backupPath;
        if (outcome.filesFailed > 0)
            message << "\n" << outcome.filesFailed << (outcome.filesFailed == 1 ? " file" : " files")
                    << " could not be processed and stayed unchanged: see the log.";

        return { outcome.filesFailed > 0 ? Icon::warning : Icon::information, "Batch processing finished", message };
    }
}
