#pragma once

#include <juce_core/juce_core.h>

/** What "replace string" replaces, in a run or in one step of a recipe. */
struct ReplaceParameters
{
    juce::String what, with;
    bool regex = false; // what is a regular expression, with a template of groups and formulas
};
