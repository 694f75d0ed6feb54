#pragma once

#include "BackupArchive.h"
#include "BatchOperation.h"

/**
    The comment a run writes into its backup archive, so that the archive
    tells, in the window's list and in `unzip -z`, which run it was made
    before: a heading with the time, then the run's task without its list of
    files (the archive lists them).
*/
class BackupComment
{
public:
    static juce::String make (const BatchOperation& operation, juce::Time madeAt);

    /** The operation line of a comment make() wrote ("Replace string: 'a'"),
        or empty for a comment from elsewhere. */
    static juce::String operationOf (const juce::String& comment);

    /** The lines after the heading: what the run it was made before did. */
    static juce::String taskOf (const juce::String& comment);

    /** The time in the heading of a comment make() wrote, or empty. */
    static juce::String madeAtOf (const juce::String& comment);

    /** One line for the window's choice of backups: name, time, file count,
        and the operation when the archive says it. */
    static juce::String choiceText (const BackupArchive::Summary& summary);

    static constexpr const char* heading = "Backup made by Quillmere before this run, at ";
};
