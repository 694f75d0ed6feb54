#include "TypableChoice.h"

TypableChoice::TypableChoice (const juce::String& name)
    : juce::ComboBox (name)
{
    editOnlyWhenTyping();
}

juce::Label* TypableChoice::textBox() const
{
    for (auto* child : getChildren())
        if (auto* found = dynamic_cast<juce::Label*> (child))
            return found;
    return nullptr;
}

void TypableChoice::editOnlyWhenTyping()
{
    // Not editable by a click: the click goes to the box, which opens the list.
    if (auto* textLabel = textBox())
    {
        textLabel->setEditable (false, false, false);
        textLabel->onEditorHide = [this] { editOnlyWhenTyping(); };
    }
}

void TypableChoice::lookAndFeelChanged()
{
    // A new look makes a new text box, editable again.
    juce::ComboBox::lookAndFeelChanged();
    editOnlyWhenTyping();
}

bool TypableChoice::keyPressed (const juce::KeyPress& key)
{
    const auto typed = key.getTextCharacter();
    auto* textLabel = textBox();
    if (textLabel == nullptr || typed < ' ' || key.getModifiers().isCommandDown() || key.getModifiers().isCtrlDown())
        return juce::ComboBox::keyPressed (key);

    textLabel->setEditable (true, false, false);
    textLabel->showEditor();
    if (auto* editor = textLabel->getCurrentTextEditor())
    {
        editor->setText (juce::String::charToString (typed), true);
        editor->moveCaretToEnd();
    }
    return true;
}
