#pragma once

#include "support/HostPrograms.h"
#include "support/TestFolder.h"

#include <juce_core/juce_core.h>

#include <string>

/** GNU patch, run as a user would on a diff the tool printed. */
struct PatchTool
{
    /** Whether patch can be run here (see HostPrograms). */
    static bool available() { return HostPrograms::available ("patch"); }

    /** Applies diff with patch -p1 inside folder; fails with patch's own words. */
    static juce::Result apply (const juce::File& folder, const std::string& diff)
    {
        const TestFolder scratch;
        const auto diffFile = scratch.write ("changes.diff", diff);

        // --batch: never ask; no leftovers (.orig, .rej) to mistake for files of the folder.
        juce::ChildProcess patch;
        if (! patch.start (juce::StringArray { "patch", "-p1", "--batch", "--silent", "--no-backup-if-mismatch",
                                               "--reject-file=-", "-d", folder.getFullPathName(),
                                               "-i", diffFile.getFullPathName() }))
            return juce::Result::fail ("patch could not be started");

        const auto output = patch.readAllProcessOutput();
        if (! patch.waitForProcessToFinish (60000) || patch.getExitCode() != 0)
            return juce::Result::fail ("patch failed: " + output);
        return juce::Result::ok();
    }
};
