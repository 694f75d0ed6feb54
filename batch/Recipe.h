#pragma once

#include "BatchSettings.h"
#include "RecipeStep.h"

#include <vector>

/**
    Several edits applied to each file in one pass, as a plain text file
    holds them: one step a line in the command line's own words, quoted as
    the shell quotes (see ShellWords), with '#' comments and blank lines:

        # rename a parameter, then rescale it
        replace 'name="vol"' 'name="volume"'
        replace --regex 'id="(\d+)"' 'id="${= _1 + 100 }"'
        convert --number-format keep volume 'y = x * 0.5;'
        include '*.xiz'
        exclude 'old*'
        recursive

    include and exclude add file patterns as the command line's options do;
    recursive takes the subfolders too.
*/
struct Recipe
{
    std::vector<RecipeStep> steps;
    juce::StringArray includes, excludes;
    bool recursive = false;

    /** Reads a recipe's text. Fails with one "line N: why" line for each
        line that is not a step, or when no line is a step. */
    static juce::Result parse (const juce::String& text, Recipe& recipe);

    /** Reads a recipe file, which must be UTF-8 text (a byte-order mark is skipped). */
    static juce::Result load (const juce::File& file, Recipe& recipe);

    /** The recipe as a file holds it, which parse() reads back the same. */
    juce::String toText() const;

    /** The recipe of what settings would run: a recipe's steps or its one
        operation, with the pattern and the scope as its file lines. Fails
        for an operation that is no recipe step. */
    static juce::Result fromSettings (const BatchSettings& settings, Recipe& recipe);

    /** Writes the recipe whole under a temporary name, then renames it: never a half-written recipe. */
    juce::Result save (const juce::File& file) const;
};
