#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    "Done:": the log of the last run or preview as it grows, with "Save Log"
    under it, and the recipe's "Load Recipe…" and "Save Recipe…" on the same
    row.
*/
class RunLog : public juce::Component
{
public:
    RunLog();

    std::function<void()> onSaveLog, onLoadRecipe, onSaveRecipe, onEscape;

    void clear() { display.clear(); }
    void append (const juce::String& text);
    juce::String getText() const { return display.getText(); }
    bool isEmpty() const { return display.isEmpty(); }

    /** Keyboard focus to the log, so that Enter after an alert starts nothing. */
    void takeFocus() { display.grabKeyboardFocus(); }

    /** During a run only the log itself stays usable. */
    void setButtonsEnabled (bool enabled);

    juce::TextEditor& getDisplay() { return display; }
    juce::TextButton& getSaveLogButton() { return saveLogButton; }
    juce::TextButton& getLoadRecipeButton() { return loadRecipeButton; }
    juce::TextButton& getSaveRecipeButton() { return saveRecipeButton; }

    void resized() override;

private:
    juce::Label caption { "doneLabel", "Done:" };
    juce::TextEditor display { "doneDisplay" };
    juce::TextButton saveLogButton { "Save Log" };
    juce::TextButton loadRecipeButton;
    juce::TextButton saveRecipeButton;
};
