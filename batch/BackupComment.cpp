#include "BackupComment.h"

#include "TaskDescription.h"

#include <cstring>

namespace
{
    juce::String timeText (juce::Time time)
    {
        return time.formatted ("%Y-%m-%d %H:%M:%S");
    }

    bool isOurs (const juce::String& comment)
    {
        return comment.startsWith (BackupComment::heading);
    }
}

juce::String BackupComment::make (const BatchOperation& operation, juce::Time madeAt)
{
    return heading + timeText (madeAt) + ":\n" + buildTaskSummary (operation.getSettings(), &operation);
}

juce::String BackupComment::taskOf (const juce::String& comment)
{
    return isOurs (comment) ? comment.fromFirstOccurrenceOf ("\n", false, false) : juce::String();
}

juce::String BackupComment::madeAtOf (const juce::String& comment)
{
    if (! isOurs (comment))
        return {};
    return comment.substring ((int) std::strlen (heading)).upToFirstOccurrenceOf (":\n", false, false);
}

juce::String BackupComment::operationOf (const juce::String& comment)
{
    return taskOf (comment).upToFirstOccurrenceOf ("\n", false, false).trimEnd();
}

juce::String BackupComment::choiceText (const BackupArchive::Summary& summary)
{
    // The count before the operation: a narrow field cuts the long end.
    juce::String text = summary.file.getFileName() + "  (" + timeText (summary.modified);
    if (summary.files < 0)
        text << ", unreadable";
    else
        text << ", " << summary.files << (summary.files == 1 ? " file" : " files");
    if (const auto operation = operationOf (summary.comment); operation.isNotEmpty())
        text << ", " << operation;
    return text + ")";
}
