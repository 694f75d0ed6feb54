#pragma once

#include "ConvertParameters.h"
#include "OperationKind.h"
#include "ReplaceParameters.h"

/** One line of a recipe: a replace or a convert, with its parameters. */
struct RecipeStep
{
    OperationKind kind = OperationKind::replace; // replace or convert
    ReplaceParameters replace;
    ConvertParameters convert;
    int line = 0; // where the step stands in its recipe file; 0 when it was not read from one

    /** The step as a recipe line says it, quoted so that it reads back the
        same: "replace --regex 'a(b)' '$1'", "convert gain 'y = x * 2;'". */
    juce::String text() const;

    bool operator== (const RecipeStep& other) const;
};
