#include "FieldLabel.h"
#include "QuillmereLookAndFeel.h"
#include "RunLog.h"
#include "TypableChoice.h"

#include <gtest/gtest.h>

namespace
{
    /** The lowest row of a component's picture holding dark (text) pixels, or -1. */
    int lowestTextRow (juce::Component& component)
    {
        juce::Image image (juce::Image::RGB, component.getWidth(), component.getHeight(), true);
        {
            juce::Graphics g (image);
            g.fillAll (juce::Colours::white);
            component.paintEntireComponent (g, false);
        }
        for (int y = image.getHeight() - 1; y >= 0; --y)
            for (int x = 2; x < image.getWidth() - 2; ++x)
                if (image.getPixelAt (x, y).getBrightness() < 0.35f)
                    return y;
        return -1;
    }
}

TEST (FieldLabel, EnterKeepsTheFieldBeingEditedAndAnUnderscoreClearOfTheFocusOutline)
{
    QuillmereLookAndFeel look;
    FieldLabel field ("formula", "y = x;");
    field.setLookAndFeel (&look);
    field.setSize (300, 20);
    field.showEditor();
    auto* editor = field.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText ("y = x_1 * 2;");

    // The framework ends the edit on Enter, and the focus then moves on unseen.
    editor->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    ASSERT_EQ (field.getCurrentTextEditor(), editor);
    EXPECT_EQ (editor->getText(), "y = x_1 * 2;");

    // The focus outline covers the two rows at the edge: the underscore stands above them.
    const int lowest = lowestTextRow (*editor);
    EXPECT_GE (lowest, 10);
    EXPECT_LT (lowest, field.getHeight() - 3);

    // Another field clicked: the edit ends with what was typed.
    editor->focusLost (juce::Component::focusChangedByMouseClick);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (field.getCurrentTextEditor(), nullptr);
    EXPECT_EQ (field.getText(), "y = x_1 * 2;");
    field.setLookAndFeel (nullptr);
}

TEST (TypableChoice, AClickIsForTheListAndTypingEditsTheText)
{
    TypableChoice choice ("numberFormat");
    choice.addItemList ({ "design", "keep", "%.2f" }, 1);
    choice.setSize (120, 20);
    auto* text = choice.textBox();
    ASSERT_NE (text, nullptr);
    EXPECT_FALSE (text->isEditableOnSingleClick() || text->isEditableOnDoubleClick());

    choice.keyPressed (juce::KeyPress ('%', 0, '%'));
    auto* editor = text->getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->insertTextAtCaret (".4f");
    text->hideEditor (false);
    EXPECT_EQ (choice.getText(), "%.4f");
    EXPECT_FALSE (text->isEditableOnSingleClick()) << "after the edit a click opens the list again";
}

TEST (RunLog, ALongLineStaysOneLine)
{
    RunLog shortLine, longLine;
    for (auto* log : { &shortLine, &longLine })
        log->setSize (400, 300);
    shortLine.append ("processing file: kit.xml.gz...done. (gzip)\n");
    longLine.append ("processing file: " + juce::String::repeatedString ("deep/folder/", 30) + "kit.xml.gz...done. (gzip)\n");
    EXPECT_EQ (longLine.getDisplay().getTextHeight(), shortLine.getDisplay().getTextHeight());
}
