#pragma once

#include "OperationKind.h"
#include "Recipe.h"

#include <juce_core/juce_core.h>

#include <optional>

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
    bool regex = false; // --regex: WHAT is a regular expression
    std::optional<OperationKind> operation;
    juce::String first;                   // WHAT, ATTRIBUTE or ARCHIVE
    juce::String second;                  // WITH, or FORMULA
    juce::File folder;                    // the FOLDER to work on; none with --restore
    juce::File archive;                   // --restore ARCHIVE
    juce::StringArray includes, excludes; // --include and --exclude, as given
    juce::String numberFormat = "design"; // --number-format FORMAT
    Recipe recipe;                        // --recipe FILE, as read
    juce::String report;                  // --report FILE: the file's path as given, "-" for standard output; empty: none

    /** Parses argv; on a wrong call the result fails with a one-line reason. */
    static juce::Result parse (const juce::StringArray& arguments, BatchCommandLine& parsed);

    static juce::String usage();
};
