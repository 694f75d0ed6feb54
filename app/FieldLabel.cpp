#include "FieldLabel.h"

FieldLabel::FieldLabel (const juce::String& name, const juce::String& text)
    : juce::Label (name, text)
{
    setJustificationType (juce::Justification::centredLeft);
    setColour (backgroundColourId, juce::Colours::white);
    setColour (outlineColourId, juce::Colours::black);
    setColour (textColourId, juce::Colours::black);
    setEditable (true, true, false);
}

void FieldLabel::mouseUp (const juce::MouseEvent& event)
{
    juce::Label::mouseUp (event);
    stayModeless();
}

void FieldLabel::mouseDoubleClick (const juce::MouseEvent& event)
{
    juce::Label::mouseDoubleClick (event);
    stayModeless();
}

void FieldLabel::focusGained (FocusChangeType cause)
{
    juce::Label::focusGained (cause);
    stayModeless();
}

void FieldLabel::stayModeless()
{
    if (isCurrentlyModal (false))
        exitModalState (0);
}

void FieldLabel::inputAttemptWhenModal()
{
    if (auto* open = getCurrentTextEditor())
        juce::Label::textEditorReturnKeyPressed (*open);
}

void FieldLabel::textEditorFocusLost (juce::TextEditor& ended)
{
    // Losing the focus still ends the edit: the framework ends it through
    // the Return handler, which here keeps the field being edited.
    if (! (hasKeyboardFocus (true) || isCurrentlyBlockedByAnotherModalComponent()))
        juce::Label::textEditorReturnKeyPressed (ended);
}

juce::TextEditor* FieldLabel::createEditorComponent()
{
    auto* field = juce::Label::createEditorComponent();
    // The framework's top indent pushes a single line down onto the outline.
    field->setIndents (field->getLeftIndent(), 0);
    return field;
}
