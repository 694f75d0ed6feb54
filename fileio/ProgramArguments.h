#pragma once

#include <juce_core/juce_core.h>

/**
    The arguments a command-line program was started with, its own name
    left out, as text. On Windows they are read as the UTF-16 the system
    keeps: main()'s bytes are in the ANSI code page there, where "Café" is
    not UTF-8 and a letter the code page lacks is lost.
*/
struct ProgramArguments
{
    static juce::StringArray of (int argc, char* argv[]);
};
