#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The application's light look, with what a keyboard user needs: a visible
    outline around the button, combo box, field or list that has the keyboard
    focus, a selection colour that stays legible in edited fields, and one
    font size for every combo box.
*/
class QuillmereLookAndFeel : public juce::LookAndFeel_V4
{
public:
    QuillmereLookAndFeel();

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;
    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    /** A choice's list in the font of the choice, and inside the window:
        it never runs past the window's edge, and it leaves nothing drawn
        behind when it closes, as a menu in a window of its own can. */
    juce::Font getPopupMenuFont() override;
    juce::PopupMenu::Options getOptionsForComboBoxPopupMenu (juce::ComboBox&, juce::Label&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawFileBrowserRow (juce::Graphics&, int width, int height, const juce::File& file,
                             const juce::String& filename, juce::Image* icon, const juce::String& fileSizeDescription,
                             const juce::String& fileTimeDescription, bool isDirectory, bool isItemSelected,
                             int itemIndex, juce::DirectoryContentsDisplayComponent&) override;

    /** The framework's alert box with its icon wholly inside the box: the
        framework draws it partly past the top-left corner, cut off. */
    void drawAlertBox (juce::Graphics&, juce::AlertWindow&, const juce::Rectangle<int>& textArea, juce::TextLayout&) override;

    /** Where drawAlertBox() puts the icon of an alert of this size. */
    static juce::Rectangle<float> alertIconArea (juce::Rectangle<int> alertBounds);

    /** Draws the focus outline inside bounds. */
    static void drawFocusOutline (juce::Graphics&, juce::Rectangle<float> bounds);

    static inline const juce::Colour focusColour { 0xff1a73e8 };
};
