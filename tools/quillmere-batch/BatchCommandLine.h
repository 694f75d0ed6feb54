#pragma once

#include <juce_core/juce_core.h>

/** The parsed arguments of quillmere-batch. */
struct BatchCommandLine
{
    enum class Mode
    {
        run,
        help,
        version
    };

    Mode mode = Mode::run;
    bool recursive = false;
    bool dryRun = false;
    bool diff = false;
    juce::String operation; // "replace string", "convert value" or "restore backup"
    juce::String first;     // WHAT, ATTRIBUTE or ARCHIVE
    juce::String second;    // WITH, or FORMULA
    juce::File folder;      // with --restore, the folder that holds the archive
    juce::File archive;     // --restore ARCHIVE

    /** Parses argv; on a wrong call the result fails with a one-line reason. */
    static juce::Result parse (const juce::StringArray& arguments, BatchCommandLine& parsed);

    static juce::String usage();
};
