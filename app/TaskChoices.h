#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "FieldLabel.h"

class OperationDeclaration;

/**
    The rows above an operation's fields: "Files:", the pattern of the files
    worked on, and "Do what:" and "where:", the operation and the scope.
    "apply recipe" is among the operations while there is a recipe to apply.
*/
class TaskChoices : public juce::Component
{
public:
    TaskChoices();

    /** Called when an operation or the scope is chosen, and when the pattern's edit ends. */
    std::function<void()> onOperationChosen, onScopeChosen, onPatternChanged;

    /** Called on each keystroke in the pattern; the listing follows once a tick at most. */
    std::function<void()> onPatternTyped;

    /** The operation chosen, or null. */
    const OperationDeclaration* operation() const;
    bool recursive() const;
    juce::String pattern() const { return filesValue.getText (true); }

    void setPattern (const juce::String& pattern) { filesValue.setText (pattern, juce::dontSendNotification); }
    void chooseRecursive() { doWhere.setSelectedId (2, juce::sendNotificationSync); }

    /** Lists "apply recipe" and chooses it, without the notice a choice sends. */
    void chooseRecipe();
    /** Drops "apply recipe" from the list; the first operation is chosen if it
        was, else the operation chosen stays. */
    void dropRecipe();

    /** The scope follows the operation: a restore puts files where its archive says. */
    void enableScopeFor (const OperationDeclaration* shown, bool enabled);
    void setEnabledWhileIdle (bool enabled);

    juce::ComboBox& getOperationChoice() { return doWhat; }
    juce::ComboBox& getScopeChoice() { return doWhere; }
    FieldLabel& getFilesField() { return filesValue; }
    std::pair<juce::Label*, juce::Label*> captionedPattern() { return { &filesLabel, &filesValue }; }

    void resized() override;

    static constexpr int rowHeight = 20, choicesY = 26, preferredHeight = choicesY + rowHeight;

private:
    void makeChoice (juce::ComboBox& choice, const juce::StringArray& items);

    juce::Label filesLabel { "filesLabel", "Files:" };
    FieldLabel filesValue;
    juce::Label doWhatLabel { "doWhatLabel", "Do what:" };
    juce::ComboBox doWhat { "doWhatComboBox" };
    juce::Label doWhereLabel { "doWhereLabel", "where:" };
    juce::ComboBox doWhere { "doWhereComboBox" };
};
