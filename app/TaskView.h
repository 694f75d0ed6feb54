#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "RunProgressBar.h"

/**
    "To do:": the description of what "Do it!" will do, what is wrong with the
    formula as it is typed, and the run's controls under it: "Add as step",
    "Preview" and "Do it!", which reads "Cancel" during a run while the
    progress bar takes the place of "Add as step".
*/
class TaskView : public juce::Component
{
public:
    TaskView();

    std::function<void()> onAddStep, onPreview, onDoIt;

    void setDescription (const juce::String& text) { description.setText (text, false); }
    juce::String getDescriptionText() const { return description.getText(); }

    /** Shows what keeps the task from running, or hides the line for an empty problem. */
    void showProblem (const juce::String& problem);

    /** Whether Preview and Do it! may start (ignored during a run). */
    void setRunnable (bool runnable);

    /** During a run: "Cancel" in place of "Do it!", the progress bar shown, the rest disabled. */
    void setRunning (bool running);

    void setProgress (double progress, const juce::String& text) { progressBar.setProgress (progress, text); }

    juce::TextEditor& getDescription() { return description; }
    juce::Label& getProblem() { return problem; }
    juce::TextButton& getAddStepButton() { return addStepButton; }
    juce::TextButton& getPreviewButton() { return previewButton; }
    juce::TextButton& getDoItButton() { return doItButton; }
    const RunProgressBar& getProgressBar() const { return progressBar; }

    /** The height of the caption row and the buttons' row around a description of height. */
    static constexpr int heightAround (int descriptionHeight) { return captionHeight + descriptionHeight + 4 + buttonHeight; }

    void resized() override;

    static constexpr int captionHeight = 20, buttonHeight = 24, buttonWidth = 80;

private:
    juce::Label caption { "toDoLabel", "To do:" };
    juce::Label problem { "formulaErrorLabel" };
    juce::TextEditor description { "toDoDisplay" };
    juce::TextButton addStepButton { "Add as step" };
    juce::TextButton previewButton { "Preview" };
    juce::TextButton doItButton { "Do it!" };
    RunProgressBar progressBar;
    bool running = false, runnable = true;
};
