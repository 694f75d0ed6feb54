#pragma once

#include <juce_core/juce_core.h>

/** The parsed arguments of quillmere-batch. */
struct BatchCommandLine
{
    enum class Mode { run, help, version };

    Mode mode = Mode::run;
    bool recursive = false;
    bool dryRun = false;
    juce::String operation;    // "replace string" or "convert value"
    juce::String first;        // WHAT, or ATTRIBUTE
    juce::String second;       // WITH, or FORMULA
    juce::File folder;

    /** Parses argv; on a wrong call the result fails with a one-line reason. */
    static juce::Result parse (const juce::StringArray& arguments, BatchCommandLine& parsed);

    static juce::String usage();
};
