#include "OperationDeclaration.h"

OperationParameters OperationDeclaration::defaults() const
{
    OperationParameters values;
    for (const auto& parameter : parameters)
        values.set (parameter.key, parameter.defaultValue);
    return values;
}

std::vector<const ParameterDeclaration*> OperationDeclaration::valuesInOrder() const
{
    std::vector<const ParameterDeclaration*> found;
    for (const auto& parameter : parameters)
        if (! parameter.isNamed())
            found.push_back (&parameter);
    return found;
}

std::vector<const ParameterDeclaration*> OperationDeclaration::namedParameters() const
{
    std::vector<const ParameterDeclaration*> found;
    for (const auto& parameter : parameters)
        if (parameter.isNamed())
            found.push_back (&parameter);
    return found;
}

const ParameterDeclaration* OperationDeclaration::parameterWithOption (const juce::String& name) const
{
    for (const auto& parameter : parameters)
        if (parameter.isNamed() && parameter.option == name)
            return &parameter;
    return nullptr;
}

juce::StringArray OperationDeclaration::keys() const
{
    juce::StringArray found;
    for (const auto& parameter : parameters)
        found.add (parameter.key);
    return found;
}

juce::String OperationDeclaration::synopsis() const
{
    juce::StringArray words;
    for (const auto* named : namedParameters())
        words.add ("[" + named->option + (named->kind == ParameterDeclaration::Kind::flag ? "" : " " + named->valueName) + "]");
    words.add (option);
    for (const auto* value : valuesInOrder())
        words.add (value->valueName);
    return words.joinIntoString (" ");
}
