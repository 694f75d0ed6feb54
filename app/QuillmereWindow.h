#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class QuillmereContentComponent;

/** The main window: title bar with all three buttons, a corner resizer, and the
    batch panel as its only content. */
class QuillmereWindow : public juce::DocumentWindow
{
public:
    QuillmereWindow();

    void closeButtonPressed() override;

    /** The panel fills the window below the title bar, edge to edge. */
    juce::BorderSize<int> getContentComponentBorder() override { return { getTitleBarHeight(), 0, 0, 0 }; }

    QuillmereContentComponent* getPanel() const { return panel; }

    /** Opens folder in the panel (a folder given on the command line). */
    void openFolder (const juce::File& folder);

private:
    void showFolderInTitle (const juce::File& folder);

    QuillmereContentComponent* panel = nullptr; // owned by the window as its content component

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuillmereWindow)
};
