#include "QuillmereWindow.h"

#include "QuillmereContentComponent.h"

QuillmereWindow::QuillmereWindow()
    : juce::DocumentWindow ("Quillmere", juce::Colours::lightgrey, juce::DocumentWindow::allButtons, true)
{
    auto content = std::make_unique<QuillmereContentComponent> ("Quillmere");
    panel = content.get();
    setContentOwned (content.release(), false);

    setResizable (true, true);
    setResizeLimits (800, 600, 40000, 30000);
    setVisible (true);
    centreWithSize (800, 600);
    setTitleBarHeight (24);
}

void QuillmereWindow::closeButtonPressed()
{
    juce::JUCEApplication::quit();
}
