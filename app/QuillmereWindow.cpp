#include "QuillmereWindow.h"

#include "QuillmereContentComponent.h"

QuillmereWindow::QuillmereWindow()
    : juce::DocumentWindow ("Quillmere", juce::Colours::lightgrey, juce::DocumentWindow::allButtons, true)
{
    auto content = std::make_unique<QuillmereContentComponent> ("Quillmere");
    panel = content.get();
    panel->onFolderChanged = [this] (const juce::File& folder) { showFolderInTitle (folder); };
    showFolderInTitle (juce::File (panel->getFileList().currentDirectory));
    setContentOwned (content.release(), false);

    setResizable (true, true);
    using Panel = QuillmereContentComponent;
    setResizeLimits (Panel::smallestWidth, Panel::smallestHeight + Panel::titleBarHeight, 40000, 30000);
    setVisible (true);
    centreWithSize (Panel::smallestWidth, Panel::smallestHeight + Panel::titleBarHeight);
    setTitleBarHeight (Panel::titleBarHeight);
}

void QuillmereWindow::closeButtonPressed()
{
    if (panel == nullptr)
        return juce::JUCEApplication::quit();
    panel->askToClose ([] { juce::JUCEApplication::quit(); });
}

void QuillmereWindow::showFolderInTitle (const juce::File& folder)
{
    setName ("Quillmere - " + folder.getFullPathName());
}

void QuillmereWindow::openFolder (const juce::File& folder)
{
    if (panel != nullptr)
        panel->showFolder (folder);
}
