#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "PatternFileFilter.h"

/**
    The folder browser on the left, which shows the files the pattern takes.
    It tells which folder the run works on: the one listed, or a folder
    chosen inside it. Going up or picking a folder from the path box changes
    the listed folder without changing the selection, and the browser keeps
    reporting a folder chosen before the user went up out of it; neither may
    leave the run on a folder the browser no longer shows.
*/
class FolderBrowser : public juce::Component,
                      private juce::FileBrowserListener
{
public:
    explicit FolderBrowser (const juce::File& start);
    ~FolderBrowser() override;

    /** Called with the folder worked on whenever the user may have changed it. */
    std::function<void (const juce::File&)> onFolderChosen;

    void showFolder (const juce::File& folder);
    void setPattern (const juce::String& pattern);

    /** The browser's selection moved: a folder chosen inside the listed one becomes the target. */
    void selectionChanged() override;

    juce::FileBrowserComponent& getBrowser() { return browser; }

    void resized() override { browser.setBounds (getLocalBounds()); }

private:
    void fileClicked (const juce::File&, const juce::MouseEvent&) override {}
    void fileDoubleClicked (const juce::File&) override {}
    void browserRootChanged (const juce::File& newRoot) override;

    PatternFileFilter filter;
    juce::FileBrowserComponent browser;
};
