#include "OperationArea.h"

#include "OperationRegistry.h"
#include "RecipeOperation.h"

OperationArea::OperationArea()
    : juce::Component ("operationArea")
{
    for (const auto* operation : OperationRegistry::all())
    {
        if (! operation->chosenInWindow)
            continue;
        auto* fields = operationFields.add (std::make_unique<OperationFields> (*operation));
        fields->onChange = [this] {
            if (onChange)
                onChange();
        };
        addChildComponent (*fields);
    }
    steps.onChange = [this] {
        if (onStepsChanged)
            onStepsChanged();
    };
    addChildComponent (steps);
    show (OperationRegistry::named (OperationRegistry::windowLabels()[0]));
}

void OperationArea::show (const OperationDeclaration* operation)
{
    for (auto* fields : operationFields)
        fields->setVisible (&fields->getDeclaration() == operation);
    steps.setVisible (operation == &RecipeOperation::declaration());
}

OperationFields* OperationArea::shownFields() const
{
    for (auto* fields : operationFields)
        if (fields->isVisible())
            return fields;
    return nullptr;
}

OperationFields& OperationArea::fieldsOf (const juce::String& label) const
{
    for (auto* fields : operationFields)
        if (fields->getDeclaration().label == label)
            return *fields;
    jassertfalse;
    return *operationFields.getFirst();
}

OperationParameters OperationArea::values (const juce::File& folder) const
{
    const auto* fields = shownFields();
    return fields != nullptr ? fields->values (folder) : OperationParameters();
}

juce::String OperationArea::checkFormula (FormulaEngine& checker)
{
    juce::String problem;
    for (auto* fields : operationFields)
        if (fields->isVisible())
            problem = fields->checkFormula (checker);
        else
            fields->getFormulaMarks().clear();
    return problem;
}

BackupChoice* OperationArea::backupChoice() const
{
    for (auto* fields : operationFields)
        if (auto* backups = fields->backupChoice())
            return backups;
    return nullptr;
}

void OperationArea::followBackups (const juce::File& folder)
{
    if (auto* backups = backupChoice())
        backups->follow (folder);
}

void OperationArea::forgetBackupChoice()
{
    if (auto* backups = backupChoice())
        backups->forgetChoice();
}

void OperationArea::keepBackupChoice()
{
    // Only a restore on screen chose its backup.
    if (auto* fields = shownFields(); fields != nullptr && fields->backupChoice() != nullptr)
        fields->backupChoice()->keepChoice();
}

juce::String OperationArea::chosenBackupName() const
{
    const auto* backups = backupChoice();
    return backups != nullptr ? backups->chosenName() : juce::String();
}

std::vector<std::pair<juce::Label*, juce::Label*>> OperationArea::captionedFields() const
{
    std::vector<std::pair<juce::Label*, juce::Label*>> pairs;
    for (const auto* fields : operationFields)
        for (const auto& pair : fields->captionedFields())
            pairs.push_back (pair);
    return pairs;
}

int OperationArea::preferredHeight() const
{
    if (steps.isVisible())
        return steps.preferredHeight();
    const auto* fields = shownFields();
    return fields != nullptr ? fields->preferredHeight() : 0;
}

void OperationArea::resized()
{
    for (auto* fields : operationFields)
        fields->setBounds (0, 0, getWidth(), fields->preferredHeight());
    steps.setBounds (0, 0, getWidth(), steps.preferredHeight());
}
