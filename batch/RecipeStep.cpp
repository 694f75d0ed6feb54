#include "RecipeStep.h"

#include "ShellWords.h"

juce::String RecipeStep::text() const
{
    jassert (operation != nullptr);
    juce::StringArray words { operation->recipeWord };
    // Options first, and only where they differ from what a line without them means.
    for (const auto* named : operation->namedParameters())
    {
        const auto value = parameters.text (named->key);
        if (named->kind == ParameterDeclaration::Kind::flag)
        {
            if (parameters.flag (named->key))
                words.add (named->option);
        }
        else if (value != named->defaultValue)
            words.addArray ({ named->option, ShellWords::quote (value) });
    }

    juce::StringArray values;
    for (const auto* value : operation->valuesInOrder())
        values.add (parameters.text (value->key));

    // A first value that looks like an option would be read as one.
    if (values[0].startsWith ("--"))
        words.add ("--");
    for (const auto& value : values)
        words.add (ShellWords::quote (value));
    return words.joinIntoString (" ");
}

bool RecipeStep::operator== (const RecipeStep& other) const
{
    if (operation != other.operation)
        return false;
    if (operation == nullptr)
        return true;
    // A flag never set reads as off, as one set off does.
    for (const auto& parameter : operation->parameters)
        if (parameter.kind == ParameterDeclaration::Kind::flag ? parameters.flag (parameter.key) != other.parameters.flag (parameter.key)
                                                               : parameters.text (parameter.key) != other.parameters.text (parameter.key))
            return false;
    return true;
}
