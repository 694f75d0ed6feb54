#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The bar under the description during a run: the share done and a text
    ("512 of 3000 files"). It shows exactly what it was last given; the
    framework's bar glides towards its value at a fixed pace and so falls
    behind the log on a fast run.
*/
class RunProgressBar : public juce::Component
{
public:
    RunProgressBar();

    /** progress from 0 to 1; repaints only when something changed. */
    void setProgress (double progress, const juce::String& text);

    double getProgress() const { return shown; }
    const juce::String& getText() const { return text; }

    void paint (juce::Graphics& g) override;

private:
    double shown = 0.0;
    juce::String text;
};
