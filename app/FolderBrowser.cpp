#include "FolderBrowser.h"

FolderBrowser::FolderBrowser (const juce::File& start)
    : juce::Component ("folderBrowser"),
      browser (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories
                   | juce::FileBrowserComponent::filenameBoxIsReadOnly,
               start, &filter, nullptr)
{
    browser.addListener (this);
    addAndMakeVisible (browser);
}

FolderBrowser::~FolderBrowser()
{
    browser.removeListener (this);
}

void FolderBrowser::showFolder (const juce::File& folder)
{
    if (folder.isDirectory())
        browser.setRoot (folder);
}

void FolderBrowser::setPattern (const juce::String& pattern)
{
    filter.setPattern (pattern);
    browser.refresh();
}

void FolderBrowser::selectionChanged()
{
    const auto current = browser.getSelectedFile (0);
    const auto root = browser.getRoot();
    const auto candidate = current.isDirectory() && current.getParentDirectory() == root ? current : root;
    if (onFolderChosen)
        onFolderChosen (candidate);
}

void FolderBrowser::browserRootChanged (const juce::File& newRoot)
{
    if (onFolderChosen)
        onFolderChosen (newRoot);
}
