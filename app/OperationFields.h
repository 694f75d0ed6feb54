#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "BackupChoice.h"
#include "FieldLabel.h"
#include "FormulaEngine.h"
#include "FormulaErrorMarks.h"
#include "OperationDeclaration.h"
#include "TypableChoice.h"

/**
    The fields of one operation, made from its declaration: a caption and an
    editor a parameter. Values given in order take a row each; a named
    parameter (a switch, a choice) takes the right end of the row before it.
    A formula's field has carets under it for its errors.
*/
class OperationFields : public juce::Component
{
public:
    explicit OperationFields (const OperationDeclaration& declaration);

    const OperationDeclaration& getDeclaration() const { return declaration; }

    /** The parameters as the fields hold them; a field being edited counts
        with what it holds now, an archive named relative to folder. */
    OperationParameters values (const juce::File& folder) const;

    /** Called on every change, keystrokes included. */
    std::function<void()> onChange;

    /** The value label of a parameter, its switch, its choice; null when it has none of that kind. */
    juce::Label* label (const juce::String& key) const;
    juce::ToggleButton* toggle (const juce::String& key) const;
    juce::ComboBox* choice (const juce::String& key) const;
    BackupChoice* backupChoice() const { return backup.get(); }

    /** Checks the formula as it is typed: what is wrong with it, with carets
        under the field, or nothing when it parses or there is none. */
    juce::String checkFormula (FormulaEngine& checker);

    /** The formula's field, if the operation has one, and its carets. */
    juce::Label* formulaField() const;
    FormulaErrorMarks& getFormulaMarks() { return formulaMarks; }

    /** Each text field with the caption before it. */
    std::vector<std::pair<juce::Label*, juce::Label*>> captionedFields() const;

    /** The height the rows take, carets included. */
    int preferredHeight() const;

    void resized() override;
    void visibilityChanged() override;

    static constexpr int rowHeight = 20, rowSpacing = 24;

private:
    /** One parameter's widgets: a caption and one editor. */
    struct Field
    {
        const ParameterDeclaration* parameter = nullptr;
        std::unique_ptr<juce::Label> caption;
        std::unique_ptr<FieldLabel> text;
        std::unique_ptr<juce::ToggleButton> toggle;
        std::unique_ptr<TypableChoice> choice;
        int row = 0;
    };

    void addField (const ParameterDeclaration& parameter, int row);
    void followEditing (juce::Label& field);
    const Field* find (const juce::String& key) const;
    int captionWidth() const;
    void changed();

    const OperationDeclaration& declaration;
    std::vector<Field> fields;
    std::unique_ptr<BackupChoice> backup;
    FormulaErrorMarks formulaMarks;
    int rows = 0;
};
