#include "SetValueOperation.h"

SetValueOperation::SetValueOperation (BatchSettings settingsToUse)
    : StructureEditOperation (std::move (settingsToUse), StructureEditor::Kind::setValue)
{
}

const OperationDeclaration& SetValueOperation::declaration()
{
    static const OperationDeclaration declared {
        "set value",
        "--set",
        "set",
        true,
        {
            pathParameter ("//SomeElement/@SomeAttribute", {}),
            valueParameter ("0"),
        },
        { "give every attribute or text() PATH selects the text",
          "VALUE (& and < escaped, and the attribute's quote),",
          "e.g. --set \"//par[@name='volume']/@value\" 0.5" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<SetValueOperation> (settings);
        },
    };
    return declared;
}

juce::String SetValueOperation::describeTask() const
{
    return "Set values selected by the path: '" + parameter ("path") + "' \n"
         + "to the new value: '" + parameter ("value") + "' \n";
}
