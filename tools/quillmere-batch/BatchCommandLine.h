#pragma once

#include "OperationDeclaration.h"
#include "Recipe.h"

#include <juce_core/juce_core.h>

/** The parsed arguments of quillmere-batch. The operations, their options
    and their values are the registry's (OperationRegistry). */
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
    const OperationDeclaration* operation = nullptr;
    OperationParameters parameters;       // the operation's, as given (an archive or recipe as its full path)
    juce::File folder;                    // the FOLDER to work on; none for an operation in its archive's folder
    juce::StringArray includes, excludes; // --include and --exclude, as given
    Recipe recipe;                        // --recipe FILE, as read
    juce::String report;                  // --report FILE: the file's path as given, "-" for standard output; empty: none

    /** Parses argv; on a wrong call the result fails with a one-line reason. */
    static juce::Result parse (const juce::StringArray& arguments, BatchCommandLine& parsed);

    static juce::String usage();
};
