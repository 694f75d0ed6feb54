#include "FormulaErrorMarks.h"

FormulaErrorMarks::FormulaErrorMarks()
{
    setInterceptsMouseClicks (false, false);
}

void FormulaErrorMarks::mark (juce::Label& fieldToMark, int firstCharacter, int lastCharacter)
{
    field = &fieldToMark;
    first = firstCharacter;
    last = std::max (firstCharacter, lastCharacter);
    setVisible (first >= 0);
    repaint();
}

void FormulaErrorMarks::clear()
{
    first = last = -1;
    setVisible (false);
}

void FormulaErrorMarks::paint (juce::Graphics& g)
{
    if (field == nullptr || first < 0)
        return;

    // Where the field draws its text: inside its border, from the left, in
    // the look and feel's label font. Past the end of the text (an error at
    // the end of the formula) the caret sits just after the last character.
    const auto text = field->getText (true);
    const auto font = field->getLookAndFeel().getLabelFont (*field);
    const auto textX = (float) field->getBorderSize().getLeft();
    const auto xAt = [&] (int index) { return textX + font.getStringWidthFloat (text.substring (0, index)); };
    const auto caretWidth = font.getStringWidthFloat ("^");

    g.setColour (juce::Colours::darkred);
    g.setFont (font.withHeight ((float) height + 4.0f));
    for (int i = first; i <= last; ++i)
    {
        const auto left = xAt (i);
        const auto right = i < text.length() ? xAt (i + 1) : left + caretWidth;
        g.drawText ("^", juce::Rectangle<float> (left, 0.0f, std::max (right - left, caretWidth), (float) getHeight() + 6.0f),
                    juce::Justification::centredTop, false);
    }
}
