#pragma once

#include "TextChange.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <string>
#include <vector>

/** What an operation makes of one file's bytes, before anything is written. */
struct FileRewrite
{
    juce::Result result = juce::Result::ok(); // a failure leaves the file as it is, with this reason
    std::string bytes;                        // the new contents, when there are changes
    int changes = 0;                          // places whose bytes differ; none: the file is not rewritten
    juce::String remark;                      // said on the file's log line after "done. "
    int selectedValues = -1;                  // values a path selected in the file; -1: not counted
    unsigned permissionsIfNew = 0644;         // for a file that does not exist yet
    bool exactPermissions = false;            // permissionsIfNew for an existing file too, exactly (a restore)
    std::vector<TextChange> changeList;       // each change, when the operation was asked to record them

    /** Writes the new contents instead of bytes, for contents too large to
        hold (a restore streams each entry from its archive). */
    std::function<juce::Result (juce::OutputStream&)> writeContents;
};
