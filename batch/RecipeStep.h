#pragma once

#include "OperationDeclaration.h"
#include "OperationParameters.h"

/** One line of a recipe: an operation that is a recipe step, with its parameters. */
struct RecipeStep
{
    const OperationDeclaration* operation = nullptr;
    OperationParameters parameters;
    int line = 0; // where the step stands in its recipe file; 0 when it was not read from one

    /** The step as a recipe line says it, quoted so that it reads back the
        same: "replace --regex 'a(b)' '$1'", "convert gain 'y = x * 2;'". */
    juce::String text() const;

    bool operator== (const RecipeStep& other) const;
};
