#include "TaskView.h"

TaskView::TaskView()
    : juce::Component ("taskView")
{
    caption.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (caption);
    problem.setJustificationType (juce::Justification::centredLeft);
    problem.setColour (juce::Label::textColourId, juce::Colours::darkred);
    addChildComponent (problem);
    description.setMultiLine (true, true);
    description.setReadOnly (true);
    addAndMakeVisible (description);

    addStepButton.setTooltip ("Takes the operation on screen into the recipe's steps");
    addStepButton.onClick = [this] {
        if (onAddStep)
            onAddStep();
    };
    previewButton.onClick = [this] {
        if (onPreview)
            onPreview();
    };
    doItButton.onClick = [this] {
        if (onDoIt)
            onDoIt();
    };
    for (auto* button : { &addStepButton, &previewButton, &doItButton })
        addAndMakeVisible (*button);
    addChildComponent (progressBar);
}

void TaskView::showProblem (const juce::String& text)
{
    problem.setText (text, juce::dontSendNotification);
    problem.setVisible (text.isNotEmpty());
}

void TaskView::setRunnable (bool canRun)
{
    runnable = canRun;
    if (! running)
    {
        doItButton.setEnabled (runnable);
        previewButton.setEnabled (runnable);
    }
}

void TaskView::setRunning (bool isRunning)
{
    running = isRunning;
    if (running)
        progressBar.setProgress (0.0, {});
    progressBar.setVisible (running);
    addStepButton.setVisible (! running);
    doItButton.setButtonText (running ? "Cancel" : "Do it!");
    doItButton.setEnabled (running || runnable);
    previewButton.setEnabled (! running && runnable);
}

void TaskView::resized()
{
    constexpr int captionWidth = 96, gap = 8;
    const int width = getWidth();
    caption.setBounds (0, 0, captionWidth, captionHeight);
    problem.setBounds (captionWidth, 0, width - captionWidth, captionHeight);
    description.setBounds (0, captionHeight, width, getHeight() - heightAround (0));

    const int buttonsY = description.getBottom() + 4;
    doItButton.setBounds (width - buttonWidth - 4, buttonsY, buttonWidth, buttonHeight);
    previewButton.setBounds (doItButton.getX() - buttonWidth - gap, buttonsY, buttonWidth, buttonHeight);
    progressBar.setBounds (0, buttonsY, previewButton.getX() - gap, buttonHeight);
    addStepButton.setBounds (previewButton.getX() - buttonWidth - 24 - gap, buttonsY, buttonWidth + 24, buttonHeight);
}
