#include "DeleteOperation.h"

DeleteOperation::DeleteOperation (BatchSettings settingsToUse)
    : StructureEditOperation (std::move (settingsToUse), StructureEditor::Kind::remove)
{
}

const OperationDeclaration& DeleteOperation::declaration()
{
    static const OperationDeclaration declared {
        "delete",
        "--delete",
        "delete",
        true,
        {
            pathParameter ("//SomeElement/@SomeAttribute", {}),
        },
        { "remove every attribute (with the blank before it) or",
          "element (with its content, and its line when it",
          "stands alone on it) PATH selects, e.g.",
          "--delete \"//par[@name='old_drive']\"" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<DeleteOperation> (settings);
        },
    };
    return declared;
}

juce::String DeleteOperation::describeTask() const
{
    return "Delete what the path selects: '" + parameter ("path") + "' \n";
}
