#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "OperationFields.h"
#include "RecipeSteps.h"

/**
    The band under "Do what:": the fields of the operation chosen, one set an
    operation of the list made from its declaration, or the recipe's steps
    while "apply recipe" is chosen. Only one of them shows at a time.
*/
class OperationArea : public juce::Component
{
public:
    OperationArea();

    /** Called on every change of a field, keystrokes included, and of the steps. */
    std::function<void()> onChange, onStepsChanged;

    /** Shows the fields of operation, or the steps for "apply recipe". */
    void show (const OperationDeclaration* operation);

    /** The fields shown, or null when none are (the steps, or no operation). */
    OperationFields* shownFields() const;
    OperationFields& fieldsOf (const juce::String& label) const;
    RecipeSteps& getRecipeSteps() { return steps; }

    /** The parameters the fields shown hold, an archive named relative to folder. */
    OperationParameters values (const juce::File& folder) const;

    /** Checks the formula shown: what is wrong with it, or nothing. */
    juce::String checkFormula (FormulaEngine& checker);

    // "Backup:" follows the folder's newest backup until the user chooses one.
    void followBackups (const juce::File& folder);
    void forgetBackupChoice();
    void keepBackupChoice();
    juce::String chosenBackupName() const;

    /** Each text field with the caption before it. */
    std::vector<std::pair<juce::Label*, juce::Label*>> captionedFields() const;

    /** The height of what is shown. */
    int preferredHeight() const;

    void resized() override;

private:
    BackupChoice* backupChoice() const;

    juce::OwnedArray<OperationFields> operationFields; // in the order of "Do what:"
    RecipeSteps steps;
};
