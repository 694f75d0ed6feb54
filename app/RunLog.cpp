#include "RunLog.h"

namespace
{
    void call (const std::function<void()>& callback)
    {
        if (callback)
            callback();
    }
}

RunLog::RunLog()
    : juce::Component ("runLog"),
      loadRecipeButton (juce::String::fromUTF8 ("Load Recipe\xe2\x80\xa6")),
      saveRecipeButton (juce::String::fromUTF8 ("Save Recipe\xe2\x80\xa6"))
{
    caption.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (caption);
    // A line of the log is one line on screen, however long: wrapped, "(gzip)"
    // or a file's end would stand on a line of its own and read as another entry.
    display.setMultiLine (true, false);
    display.setScrollbarsShown (true);
    display.setReadOnly (true);
    display.onEscapeKey = [this] { call (onEscape); };
    addAndMakeVisible (display);

    saveLogButton.onClick = [this] { call (onSaveLog); };
    loadRecipeButton.onClick = [this] { call (onLoadRecipe); };
    saveRecipeButton.onClick = [this] { call (onSaveRecipe); };
    for (auto* button : { &saveLogButton, &loadRecipeButton, &saveRecipeButton })
        addAndMakeVisible (*button);
}

void RunLog::append (const juce::String& text)
{
    if (text.isEmpty())
        return;
    display.moveCaretToEnd();
    display.insertTextAtCaret (text);
}

void RunLog::setButtonsEnabled (bool enabled)
{
    for (auto* button : { &saveLogButton, &loadRecipeButton, &saveRecipeButton })
        button->setEnabled (enabled);
}

void RunLog::resized()
{
    constexpr int captionWidth = 96, captionHeight = 20, buttonWidth = 80, recipeButtonWidth = 110, buttonHeight = 24;
    const int width = getWidth();
    caption.setBounds (0, 0, captionWidth, captionHeight);
    display.setBounds (0, captionHeight, width, getHeight() - captionHeight - 36);
    const int buttonsY = display.getBottom() + 4;
    saveLogButton.setBounds (width - buttonWidth - 8, buttonsY, buttonWidth, buttonHeight);
    loadRecipeButton.setBounds (0, buttonsY, recipeButtonWidth, buttonHeight);
    saveRecipeButton.setBounds (loadRecipeButton.getRight() + 8, buttonsY, recipeButtonWidth, buttonHeight);
}
