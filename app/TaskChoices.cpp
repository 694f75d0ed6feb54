#include "TaskChoices.h"

#include "BatchTexts.h"
#include "FilePattern.h"
#include "OperationRegistry.h"
#include "RecipeOperation.h"

namespace
{
    constexpr int recipeItemId = 1000; // "apply recipe", while there are steps

    void call (const std::function<void()>& callback)
    {
        if (callback)
            callback();
    }
}

TaskChoices::TaskChoices()
    : juce::Component ("taskChoices"),
      filesValue ("filesLabel", FilePattern::defaultText)
{
    for (auto* caption : { &filesLabel, &doWhatLabel, &doWhereLabel })
    {
        caption->setJustificationType (juce::Justification::centredLeft);
        addAndMakeVisible (*caption);
    }
    addAndMakeVisible (filesValue);
    filesValue.onTextChange = [this] { call (onPatternChanged); };
    filesValue.onEditorShow = [this] {
        if (auto* editor = filesValue.getCurrentTextEditor())
            editor->onTextChange = [this] { call (onPatternTyped); };
    };
    makeChoice (doWhat, OperationRegistry::windowLabels());
    doWhat.onChange = [this] { call (onOperationChosen); };
    makeChoice (doWhere, { BatchTexts::folderScope, BatchTexts::recursiveScope });
    doWhere.onChange = [this] { call (onScopeChosen); };
}

void TaskChoices::makeChoice (juce::ComboBox& choice, const juce::StringArray& items)
{
    choice.setEditableText (false);
    addAndMakeVisible (choice);
    choice.addItemList (items, 1);
    choice.setSelectedId (1, juce::sendNotificationAsync);
}

const OperationDeclaration* TaskChoices::operation() const
{
    return OperationRegistry::named (doWhat.getText());
}

bool TaskChoices::recursive() const
{
    return doWhere.getText() == BatchTexts::recursiveScope;
}

void TaskChoices::chooseRecipe()
{
    if (doWhat.indexOfItemId (recipeItemId) < 0)
        doWhat.addItem (RecipeOperation::declaration().label, recipeItemId);
    doWhat.setSelectedId (recipeItemId, juce::dontSendNotification);
}

void TaskChoices::dropRecipe()
{
    const int chosen = doWhat.getSelectedId();
    const bool wasChosen = chosen == recipeItemId;
    doWhat.clear (juce::dontSendNotification);
    doWhat.addItemList (OperationRegistry::windowLabels(), 1);
    doWhat.setSelectedId (wasChosen ? 1 : chosen, wasChosen ? juce::sendNotificationSync : juce::dontSendNotification);
}

void TaskChoices::enableScopeFor (const OperationDeclaration* shown, bool enabled)
{
    doWhere.setEnabled (enabled && (shown == nullptr || shown->listsFolder()));
}

void TaskChoices::setEnabledWhileIdle (bool enabled)
{
    filesValue.setEnabled (enabled);
    doWhat.setEnabled (enabled);
    enableScopeFor (operation(), enabled);
}

void TaskChoices::resized()
{
    constexpr int filesCaption = 64, whatCaption = 64, whereCaption = 48, choiceGap = 8;
    const int width = getWidth();
    filesLabel.setBounds (0, 0, filesCaption, rowHeight);
    filesValue.setBounds (filesCaption, 0, width - filesCaption, rowHeight);

    // The two choices share the row and grow with the window, two fifths and three.
    doWhatLabel.setBounds (0, choicesY, whatCaption, rowHeight);
    const int choicesWidth = width - whatCaption - choiceGap - whereCaption;
    doWhat.setBounds (doWhatLabel.getRight(), choicesY, std::max (120, choicesWidth * 2 / 5), rowHeight);
    doWhereLabel.setBounds (doWhat.getRight() + choiceGap, choicesY, whereCaption, rowHeight);
    doWhere.setBounds (doWhereLabel.getRight(), choicesY, width - doWhereLabel.getRight(), rowHeight);
}
