#pragma once

#include "support/TestFolder.h"

#include <juce_core/juce_core.h>

#include <string>

/** GNU patch, run as a user would on a diff the tool printed. */
struct PatchTool
{
    /** False on Windows when no patch.exe is on PATH (Git for Windows has
        one; Wine has none), where the tests that need it are skipped. On
        other systems the test packages install patch, and a missing one
        fails the tests that run it. */
    static bool available()
    {
#if JUCE_WINDOWS
        const auto folders = juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", {}), ";", "\"");
        for (const auto& folder : folders)
            if (folder.isNotEmpty() && juce::File (folder.unquoted()).getChildFile ("patch.exe").existsAsFile())
                return true;
        return false;
#else
        return true;
#endif
    }

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
