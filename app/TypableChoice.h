#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A choice of a list whose value may also be typed ("%.4f", an archive's
    name). A click anywhere on it opens the list, as on every other choice;
    typing while it has the keyboard focus starts editing its text with what
    was typed. The framework's editable combo box instead edits on a click
    on its text, so that its list only opens from the arrow.
*/
class TypableChoice : public juce::ComboBox
{
public:
    explicit TypableChoice (const juce::String& name);

    bool keyPressed (const juce::KeyPress& key) override;
    void lookAndFeelChanged() override;

    /** The label that shows, and when typing edits, the text. */
    juce::Label* textBox() const;

private:
    void editOnlyWhenTyping();
};
