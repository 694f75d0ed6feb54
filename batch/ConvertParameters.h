#pragma once

#include "OperationParameters.h"

/** What "convert value" converts, in a run or in one step of a recipe. */
struct ConvertParameters
{
    juce::String attribute, formula;
    juce::String numberFormat = "design"; // as NumberFormat::parse takes it

    static ConvertParameters of (const OperationParameters& parameters)
    {
        // Not given is the default format; given empty is a format the run refuses.
        return { parameters.text ("attribute"), parameters.text ("formula"),
                 parameters.has ("numberFormat") ? parameters.text ("numberFormat") : ConvertParameters().numberFormat };
    }

    OperationParameters toParameters() const
    {
        OperationParameters parameters;
        parameters.set ("attribute", attribute);
        parameters.set ("formula", formula);
        parameters.set ("numberFormat", numberFormat);
        return parameters;
    }
};
