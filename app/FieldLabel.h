#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A value field: white, outlined, edited from the first click. Enter keeps
    the field being edited, as in the fields beside it: it neither ends the
    edit nor sends the keyboard focus elsewhere unseen. What it holds counts
    as it is typed. The text sits in the middle of the field, clear of the
    focus outline, so that an underscore stays visible.

    The framework's label makes itself modal while it is edited, so that the
    first click elsewhere only ends the edit and is lost: the next field
    clicked does not take the typing, and a button clicked does nothing.
    Here the edit ends when the focus goes, and the click goes where it was
    aimed.
*/
class FieldLabel : public juce::Label
{
public:
    FieldLabel (const juce::String& name, const juce::String& text);

    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void focusGained (FocusChangeType cause) override;
    void inputAttemptWhenModal() override;

protected:
    void textEditorReturnKeyPressed (juce::TextEditor&) override {}
    void textEditorFocusLost (juce::TextEditor& editor) override;
    juce::TextEditor* createEditorComponent() override;

private:
    void stayModeless();
};
