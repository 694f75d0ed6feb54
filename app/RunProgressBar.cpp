#include "RunProgressBar.h"

RunProgressBar::RunProgressBar()
{
    setInterceptsMouseClicks (false, false);
}

void RunProgressBar::setProgress (double progress, const juce::String& newText)
{
    const auto clamped = juce::jlimit (0.0, 1.0, progress);
    if (clamped == shown && newText == text)
        return;
    shown = clamped;
    text = newText;
    repaint();
}

void RunProgressBar::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat().reduced (0.5f);
    const auto corner = bounds.getHeight() / 2.0f;
    g.setColour (juce::Colours::white);
    g.fillRoundedRectangle (bounds, corner);

    // Clipped to the share done, so a narrow start still has rounded ends.
    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (bounds.withWidth (bounds.getWidth() * (float) shown).getSmallestIntegerContainer());
        g.setColour (juce::Colour (0xff42a2c8));
        g.fillRoundedRectangle (bounds, corner);
    }

    g.setColour (juce::Colours::grey);
    g.drawRoundedRectangle (bounds, corner, 1.0f);
    g.setColour (juce::Colours::black);
    g.setFont (bounds.getHeight() * 0.6f);
    g.drawText (text, bounds, juce::Justification::centred, true);
}
