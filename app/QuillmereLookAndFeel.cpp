#include "QuillmereLookAndFeel.h"

QuillmereLookAndFeel::QuillmereLookAndFeel()
    : juce::LookAndFeel_V4 (juce::LookAndFeel_V4::getLightColourScheme())
{
    // Selected text in a field being edited: dark text on a clear blue, not
    // white on light grey.
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffb3d4fc));
    setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    setColour (juce::Label::textWhenEditingColourId, juce::Colours::black);
    setColour (juce::TextEditor::focusedOutlineColourId, focusColour);
}

void QuillmereLookAndFeel::drawFocusOutline (juce::Graphics& g, juce::Rectangle<float> bounds)
{
    g.setColour (focusColour);
    g.drawRoundedRectangle (bounds.reduced (1.0f), 3.0f, 2.0f);
}

void QuillmereLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                                                 bool isMouseOverButton, bool isButtonDown)
{
    juce::LookAndFeel_V4::drawButtonBackground (g, button, backgroundColour, isMouseOverButton, isButtonDown);
    if (button.hasKeyboardFocus (false))
        drawFocusOutline (g, button.getLocalBounds().toFloat());
}

void QuillmereLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown,
                                         int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box)
{
    juce::LookAndFeel_V4::drawComboBox (g, width, height, isButtonDown, buttonX, buttonY, buttonW, buttonH, box);
    if (box.hasKeyboardFocus (true))
        drawFocusOutline (g, box.getLocalBounds().toFloat());
}

juce::Font QuillmereLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    // One size for every combo box, whatever its height or text length.
    return juce::Font (14.0f);
}

juce::Font QuillmereLookAndFeel::getPopupMenuFont()
{
    return juce::Font (14.0f);
}

juce::PopupMenu::Options QuillmereLookAndFeel::getOptionsForComboBoxPopupMenu (juce::ComboBox& box, juce::Label& label)
{
    auto options = juce::LookAndFeel_V4::getOptionsForComboBoxPopupMenu (box, label);
    if (auto* window = box.getTopLevelComponent(); window != nullptr && window != &box)
        options = options.withParentComponent (window);
    return options;
}

void QuillmereLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    juce::LookAndFeel_V4::drawTextEditorOutline (g, width, height, editor);
    if (editor.isEnabled() && editor.hasKeyboardFocus (true) && ! editor.isReadOnly())
        drawFocusOutline (g, juce::Rectangle<int> (0, 0, width, height).toFloat());
}

void QuillmereLookAndFeel::drawFileBrowserRow (juce::Graphics& g, int width, int height, const juce::File& file,
                                               const juce::String& filename, juce::Image* icon,
                                               const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                                               bool isDirectory, bool isItemSelected, int itemIndex,
                                               juce::DirectoryContentsDisplayComponent& list)
{
    juce::LookAndFeel_V4::drawFileBrowserRow (g, width, height, file, filename, icon, fileSizeDescription, fileTimeDescription,
                                              isDirectory, isItemSelected, itemIndex, list);

    // The folder list has the focus: its selected row carries the outline.
    auto* component = dynamic_cast<juce::Component*> (&list);
    if (isItemSelected && component != nullptr && component->hasKeyboardFocus (true))
        drawFocusOutline (g, juce::Rectangle<int> (0, 0, width, height).toFloat());
}

juce::Rectangle<float> QuillmereLookAndFeel::alertIconArea (juce::Rectangle<int> alertBounds)
{
    constexpr float margin = 14.0f, largest = 52.0f;
    const auto size = std::min (largest, (float) alertBounds.getHeight() - 2.0f * margin);
    return { (float) alertBounds.getX() + margin, (float) alertBounds.getY() + margin + 8.0f, size, size };
}

void QuillmereLookAndFeel::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert,
                                         const juce::Rectangle<int>&, juce::TextLayout& textLayout)
{
    constexpr float cornerSize = 4.0f;
    constexpr int iconSpace = 80; // the text starts where the framework's does

    g.setColour (alert.findColour (juce::AlertWindow::outlineColourId));
    g.drawRoundedRectangle (alert.getLocalBounds().toFloat(), cornerSize, 2.0f);
    const auto bounds = alert.getLocalBounds().reduced (1);
    g.setColour (alert.findColour (juce::AlertWindow::backgroundColourId));
    g.fillRoundedRectangle (bounds.toFloat(), cornerSize);

    const auto type = alert.getAlertType();
    if (type != juce::MessageBoxIconType::NoIcon)
    {
        const auto area = alertIconArea (bounds);
        const bool warning = type == juce::MessageBoxIconType::WarningIcon;
        juce::Path icon;
        if (warning)
            icon.addTriangle (area.getCentreX(), area.getY(), area.getRight(), area.getBottom(), area.getX(), area.getBottom());
        else
            icon.addEllipse (area);
        g.setColour (warning ? juce::Colour (0xffe8590c) : juce::Colour (0xff00a0a9));
        g.fillPath (warning ? icon.createPathWithRoundedCorners (4.0f) : icon);

        const auto glyph = warning ? "!" : type == juce::MessageBoxIconType::InfoIcon ? "i" : "?";
        g.setColour (juce::Colours::white);
        g.setFont (juce::Font (area.getHeight() * 0.6f, juce::Font::bold));
        g.drawText (glyph, warning ? area.withTrimmedTop (area.getHeight() * 0.25f) : area, juce::Justification::centred, false);
    }

    g.setColour (alert.findColour (juce::AlertWindow::textColourId));
    const juce::Rectangle<int> textBounds (bounds.getX() + iconSpace, 30, bounds.getWidth() - iconSpace,
                                           bounds.getHeight() - getAlertWindowButtonHeight() - 20);
    textLayout.draw (g, textBounds.toFloat());
}
