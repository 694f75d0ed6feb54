#pragma once

#include "BatchOperation.h"

/** The plain-text description of what "Do it!" would do: the operation's own
    lines (none without an operation), the folder, the scope, the file pattern
    when it is not the default one, what the listing could not look into,
    and the full list of affected files. */
juce::String buildTaskDescription (const BatchSettings& settings, const BatchOperation* operation);

/** The description without its list of files: the operation's lines, the
    folder, the scope and the pattern. */
juce::String buildTaskSummary (const BatchSettings& settings, const BatchOperation* operation);
