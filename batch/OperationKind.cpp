#include "OperationKind.h"

namespace
{
    struct Row
    {
        OperationKind kind;
        const char* label;
    };

    constexpr Row rows[] = {
        { OperationKind::replace, "replace string" },
        { OperationKind::convert, "convert value" },
        { OperationKind::restore, "restore backup" },
        { OperationKind::recipe, "apply recipe" },
    };
}

juce::String OperationKindTable::labelOf (OperationKind kind)
{
    for (const auto& row : rows)
        if (row.kind == kind)
            return row.label;
    jassertfalse;
    return {};
}

std::optional<OperationKind> OperationKindTable::named (const juce::String& label)
{
    for (const auto& row : rows)
        if (label == row.label)
            return row.kind;
    return std::nullopt;
}

juce::StringArray OperationKindTable::labels()
{
    juce::StringArray labels;
    for (const auto& row : rows)
        if (row.kind != OperationKind::recipe)
            labels.add (row.label);
    return labels;
}
