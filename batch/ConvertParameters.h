#pragma once

#include <juce_core/juce_core.h>

/** What "convert value" converts, in a run or in one step of a recipe. */
struct ConvertParameters
{
    juce::String attribute, formula;
    juce::String numberFormat = "design"; // as NumberFormat::parse takes it
};
