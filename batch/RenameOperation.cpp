#include "RenameOperation.h"

RenameOperation::RenameOperation (BatchSettings settingsToUse)
    : StructureEditOperation (std::move (settingsToUse), StructureEditor::Kind::rename)
{
}

const OperationDeclaration& RenameOperation::declaration()
{
    static const OperationDeclaration declared {
        "rename",
        "--rename",
        "rename",
        true,
        {
            pathParameter ("//SomeElement/@SomeAttribute", {}),
            nameParameter ("NewName"),
        },
        { "give every attribute or element PATH selects the name",
          "NAME (an element's start and end tags both), e.g.",
          "--rename \"//par[@name='drive']/@name\" amount",
          "or --rename //OldElement NewElement" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<RenameOperation> (settings);
        },
    };
    return declared;
}

juce::String RenameOperation::describeTask() const
{
    return "Rename what the path selects: '" + parameter ("path") + "' \n"
         + "to the new name: '" + parameter ("name") + "' \n";
}
