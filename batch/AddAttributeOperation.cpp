#include "AddAttributeOperation.h"

AddAttributeOperation::AddAttributeOperation (BatchSettings settingsToUse)
    : StructureEditOperation (std::move (settingsToUse), StructureEditor::Kind::addAttribute)
{
}

const OperationDeclaration& AddAttributeOperation::declaration()
{
    static const OperationDeclaration declared {
        "add attribute",
        "--add-attribute",
        "add-attribute",
        true,
        {
            pathParameter ("//SomeElement", {}),
            nameParameter ("NewAttribute"),
            valueParameter ("0"),
        },
        { "give each element PATH selects that has no attribute",
          "NAME the attribute NAME=\"VALUE\" after its last one,",
          "e.g. --add-attribute //preset version 2" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<AddAttributeOperation> (settings);
        },
    };
    return declared;
}

juce::String AddAttributeOperation::describeTask() const
{
    return "Add the attribute: '" + parameter ("name") + "' with the value: '" + parameter ("value") + "' \n"
         + "to each element selected by the path: '" + parameter ("path") + "' \n";
}
