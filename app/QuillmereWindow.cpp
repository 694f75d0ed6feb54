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
    setResizeLimits (800, 600, 40000, 30000);
    setVisible (true);
    centreWithSize (800, 600);
    setTitleBarHeight (24);
}

void QuillmereWindow::closeButtonPressed()
{
    if (panel != nullptr && panel->isRunning())
    {
        const bool close = juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::QuestionIcon, "Quillmere",
                                                               "A run is in progress: cancel it and close?",
                                                               "Cancel the run and close", "Go on with the run", this);
        if (! close)
            return;
        // The file at hand is finished, never cut; the log goes beside the backup.
        panel->cancelRunAndSaveLog();
    }
    juce::JUCEApplication::quit();
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
