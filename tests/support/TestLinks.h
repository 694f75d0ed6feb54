#pragma once

#include <juce_core/juce_core.h>

/** Whether a test may make symbolic links to see that the tool never
    follows one. On POSIX systems it may. On Windows it may not: Wine makes
    none (and follows the host's links silently), and Windows itself only
    for an administrator or in developer mode. There the cases that need a
    link are left out, and the folder layer's judgement of a reparse point
    is tested as a decision instead (WindowsNamesTest). */
struct TestLinks
{
#if JUCE_WINDOWS
    static constexpr bool available = false;
#else
    static constexpr bool available = true;
#endif
    static constexpr const char* whyNot = "a test makes no symbolic links on Windows";
};
