#include "ProgramArguments.h"

juce::StringArray ProgramArguments::of (int argc, char* argv[])
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));
    return arguments;
}
