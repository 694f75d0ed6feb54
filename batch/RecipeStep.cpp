#include "RecipeStep.h"

#include "ShellWords.h"

juce::String RecipeStep::text() const
{
    juce::StringArray words;
    juce::StringArray values;
    if (kind == OperationKind::convert)
    {
        words.add ("convert");
        if (convert.numberFormat != "design")
            words.addArray ({ "--number-format", ShellWords::quote (convert.numberFormat) });
        values.addArray ({ convert.attribute, convert.formula });
    }
    else
    {
        words.add ("replace");
        if (replace.regex)
            words.add ("--regex");
        values.addArray ({ replace.what, replace.with });
    }

    // A first value that looks like an option would be read as one.
    if (values[0].startsWith ("--"))
        words.add ("--");
    for (const auto& value : values)
        words.add (ShellWords::quote (value));
    return words.joinIntoString (" ");
}

bool RecipeStep::operator== (const RecipeStep& other) const
{
    if (kind != other.kind)
        return false;
    if (kind == OperationKind::convert)
        return convert.attribute == other.convert.attribute && convert.formula == other.convert.formula
            && convert.numberFormat == other.convert.numberFormat;
    return replace.what == other.replace.what && replace.with == other.replace.with && replace.regex == other.replace.regex;
}
