#include "ProgramArguments.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

juce::StringArray ProgramArguments::of (int argc, char* argv[])
{
    // The system splits its own command line as the C library split argv.
    int count = 0;
    auto** wide = CommandLineToArgvW (GetCommandLineW(), &count);
    if (wide == nullptr)
    {
        juce::StringArray fallback;
        for (int i = 1; i < argc; ++i)
            fallback.add (juce::String (juce::CharPointer_UTF8 (argv[i])));
        return fallback;
    }
    juce::StringArray arguments;
    for (int i = 1; i < count; ++i)
        arguments.add (juce::String (wide[i]));
    LocalFree (wide);
    return arguments;
}
