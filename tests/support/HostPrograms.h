#pragma once

#include <juce_core/juce_core.h>

/** The programs of the machine that some tests run beside the tool (GNU
    patch, Python) as independent judges of what it wrote. */
struct HostPrograms
{
    /** False on Windows when no NAME.exe is on PATH (Wine has neither patch
        nor Python, and cannot wait for a Linux program it starts), where
        the tests that need it skip or use another judge. On other systems
        the test packages install them, and a missing one fails the tests
        that run it. */
    static bool available (const juce::String& name)
    {
#if JUCE_WINDOWS
        const auto folders = juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", {}), ";", "\"");
        for (const auto& folder : folders)
            if (folder.isNotEmpty() && juce::File (folder.unquoted()).getChildFile (name + ".exe").existsAsFile())
                return true;
        return false;
#else
        juce::ignoreUnused (name);
        return true;
#endif
    }
};
