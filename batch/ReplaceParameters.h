#pragma once

#include "OperationParameters.h"

/** What "replace string" replaces, in a run or in one step of a recipe. */
struct ReplaceParameters
{
    juce::String what, with;
    bool regex = false; // what is a regular expression, with a template of groups and formulas

    static ReplaceParameters of (const OperationParameters& parameters)
    {
        return { parameters.text ("what"), parameters.text ("with"), parameters.flag ("regex") };
    }

    OperationParameters toParameters() const
    {
        OperationParameters parameters;
        parameters.set ("what", what);
        parameters.set ("with", with);
        parameters.setFlag ("regex", regex);
        return parameters;
    }
};
