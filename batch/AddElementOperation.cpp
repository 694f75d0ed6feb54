#include "AddElementOperation.h"

AddElementOperation::AddElementOperation (BatchSettings settingsToUse)
    : StructureEditOperation (std::move (settingsToUse), StructureEditor::Kind::addElement)
{
}

const OperationDeclaration& AddElementOperation::declaration()
{
    static const OperationDeclaration declared {
        "add element",
        "--add-element",
        "add-element",
        true,
        {
            pathParameter ("//SomeElement", {}),
            { "fragment", ParameterDeclaration::Kind::text, "Fragment:", "fragmentLabel", "<NewElement/>", {}, {}, "FRAGMENT", "a FRAGMENT", {}, {} },
        },
        { "add the element FRAGMENT (well-formed, one root) as",
          "the last child of each element PATH selects, on a",
          "line of its own, e.g. --add-element /preset",
          "'<par name=\"width\" value=\"1\"/>'" },
        {},
        {},
        [] (const BatchSettings& settings, FormulaEngine*) -> std::unique_ptr<BatchOperation> {
            return std::make_unique<AddElementOperation> (settings);
        },
    };
    return declared;
}

juce::String AddElementOperation::describeTask() const
{
    return "Add the element: '" + parameter ("fragment") + "' \n"
         + "as the last child of each element selected by the path: '" + parameter ("path") + "' \n";
}
