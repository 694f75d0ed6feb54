#include "BatchTexts.h"
#include "QuillmereContentComponent.h"
#include "support/RecordingAlerts.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace
{
    void runMessageLoop (int milliseconds = 50)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    struct Panel
    {
        Panel()
        {
            auto recorder = std::make_unique<RecordingAlerts>();
            alerts = recorder.get();
            panel.setAlertPresenter (std::move (recorder));
            runMessageLoop(); // the two combo boxes announce their first selection
        }

        void showFolder (const TestFolder& folder)
        {
            panel.fileBrowser->setRoot (folder.get());
            panel.selectionChanged();
        }

        void choose (juce::ComboBox& comboBox, int itemId)
        {
            comboBox.setSelectedId (itemId, juce::sendNotificationSync);
        }

        juce::String description() const { return panel.toDoDisplay->getText(); }

        QuillmereContentComponent panel { "Quillmere" };
        RecordingAlerts* alerts = nullptr;
    };

    juce::Rectangle<int> boundsOf (const juce::Component& component)
    {
        return component.getBounds();
    }
}

TEST (Panel, StartsWithTheDefaultsAndShowsTheDescriptionWithoutAClick)
{
    Panel p;
    EXPECT_EQ (p.panel.getName(), "Quillmere");
    EXPECT_EQ (p.panel.getWidth(), 800);
    EXPECT_EQ (p.panel.getHeight(), 600);
    EXPECT_EQ (p.panel.doWhatComboBox->getText(), "replace string");
    EXPECT_EQ (p.panel.doWhereComboBox->getText(), "files in folder");
    EXPECT_EQ (p.panel.replaceWhatValue->getText(), "Blah");
    EXPECT_EQ (p.panel.replaceWithValue->getText(), "Blub");
    EXPECT_EQ (p.panel.wildcardPattern, "*.xml");
    EXPECT_EQ (p.panel.getCurrentDirectoryPath(), getApplicationDirectory().getFullPathName());

    const auto text = p.description();
    EXPECT_TRUE (text.startsWith ("Replace string: 'Blah' \nwith new string: 'Blub' \n\nin xml-files in folder: "
                                  + getApplicationDirectory().getFullPathName() + "\n\naffected files ("))
        << text;
}

TEST (Panel, EveryValueLabelIsAWhiteEditableFieldNamedAfterItsCaption)
{
    Panel p;
    const std::pair<juce::Label*, juce::Label*> pairs[] = {
        { p.panel.replaceWhatLabel.get(), p.panel.replaceWhatValue.get() },
        { p.panel.replaceWithLabel.get(), p.panel.replaceWithValue.get() },
        { p.panel.attributeToConvertLabel.get(), p.panel.attributeValue.get() },
        { p.panel.conversionFormulaLabel.get(), p.panel.formulaValue.get() },
    };
    for (const auto& [caption, value] : pairs)
    {
        EXPECT_EQ (value->getName(), caption->getName());
        EXPECT_TRUE (value->isEditableOnSingleClick());
        EXPECT_TRUE (value->isEditableOnDoubleClick());
        EXPECT_FALSE (caption->isEditable());
        EXPECT_EQ (value->findColour (juce::Label::backgroundColourId), juce::Colours::white);
        EXPECT_EQ (value->findColour (juce::Label::outlineColourId), juce::Colours::black);
        EXPECT_EQ (value->getJustificationType(), juce::Justification::centredLeft);
    }
    EXPECT_TRUE (p.panel.toDoDisplay->isReadOnly());
    EXPECT_TRUE (p.panel.doneDisplay->isReadOnly());
}

TEST (Panel, SwitchingOperationSwapsTheFieldsAndKeepsTheirTexts)
{
    Panel p;
    p.panel.replaceWhatValue->setText ("old text", juce::dontSendNotification);

    const auto visibility = [&p] {
        juce::String flags;
        for (auto* label : { p.panel.replaceWhatLabel.get(), p.panel.replaceWhatValue.get(), p.panel.replaceWithLabel.get(),
                             p.panel.replaceWithValue.get(), p.panel.attributeToConvertLabel.get(), p.panel.attributeValue.get(),
                             p.panel.conversionFormulaLabel.get(), p.panel.formulaValue.get() })
            flags << (label->isVisible() ? "1" : "0");
        return flags;
    };

    EXPECT_EQ (visibility(), "11110000");
    p.choose (*p.panel.doWhatComboBox, 2);
    EXPECT_EQ (visibility(), "00001111");
    EXPECT_EQ (p.panel.attributeValue->getText(), "SomeAttribute");
    EXPECT_EQ (p.panel.formulaValue->getText(), "y = x;");
    EXPECT_TRUE (p.description().startsWith ("Convert value of attributes with name: 'SomeAttribute' \nvia the conversion formula: y = x;\n"));

    p.choose (*p.panel.doWhatComboBox, 1);
    EXPECT_EQ (visibility(), "11110000");
    EXPECT_EQ (p.panel.replaceWhatValue->getText(), "old text");
}

TEST (Panel, ScopeRescansAndTheCountGrowsAndShrinks)
{
    TestFolder folder;
    folder.write ("b.xml", "<a/>");
    folder.write ("z/a.xml", "<a/>");
    folder.write ("notes.txt", "");

    Panel p;
    p.showFolder (folder);
    EXPECT_EQ (p.panel.getCurrentDirectoryPath(), folder.path());
    EXPECT_TRUE (p.description().contains ("affected files (1):\n\n" + folder.file ("b.xml").getFullPathName() + "\n"));

    p.choose (*p.panel.doWhereComboBox, 2);
    EXPECT_TRUE (p.panel.searchRecursively);
    EXPECT_TRUE (p.description().endsWith ("\nand all its subfolders (recursively)\n\naffected files (2):\n\n"
                                           + folder.file ("z/a.xml").getFullPathName() + "\n"
                                           + folder.file ("b.xml").getFullPathName() + "\n"))
        << p.description();

    p.choose (*p.panel.doWhereComboBox, 1);
    EXPECT_FALSE (p.panel.searchRecursively);
    EXPECT_TRUE (p.description().contains ("affected files (1):"));
}

TEST (Panel, EditingAValueLabelUpdatesTheDescription)
{
    Panel p;
    p.panel.replaceWithValue->setText ("it's new", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().contains ("with new string: 'it's new' \n"));

    // The formula is not shown in replace mode, but editing it still rebuilds the text.
    p.panel.toDoDisplay->setText ("stale", false);
    p.panel.formulaValue->setText ("y = 2;", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().startsWith ("Replace string: 'Blah' \n"));
}

TEST (Panel, LayoutOfTheWorkedExample)
{
    Panel p;
    auto& q = p.panel;
    q.layoutControls (0, 24, 800, 576);

    EXPECT_EQ (boundsOf (q), juce::Rectangle<int> (0, 24, 800, 576));
    EXPECT_EQ (boundsOf (*q.fileBrowser), juce::Rectangle<int> (0, 0, 266, 576));
    EXPECT_EQ (boundsOf (*q.doWhatLabel), juce::Rectangle<int> (266, 32, 64, 20));
    EXPECT_EQ (boundsOf (*q.doWhatComboBox), juce::Rectangle<int> (330, 32, 120, 20));
    EXPECT_EQ (boundsOf (*q.doWhereLabel), juce::Rectangle<int> (458, 32, 48, 20));
    EXPECT_EQ (boundsOf (*q.doWhereComboBox), juce::Rectangle<int> (506, 32, 200, 20));
    EXPECT_EQ (boundsOf (*q.replaceWhatLabel), juce::Rectangle<int> (266, 64, 96, 20));
    EXPECT_EQ (boundsOf (*q.replaceWhatValue), juce::Rectangle<int> (362, 64, 434, 20));
    EXPECT_EQ (boundsOf (*q.attributeValue), juce::Rectangle<int> (338, 64, 458, 20));
    EXPECT_EQ (boundsOf (*q.replaceWithValue), juce::Rectangle<int> (362, 88, 434, 20));
    EXPECT_EQ (boundsOf (*q.formulaValue), juce::Rectangle<int> (338, 88, 458, 20));
    EXPECT_EQ (boundsOf (*q.toDoLabel), juce::Rectangle<int> (266, 120, 96, 20));
    EXPECT_EQ (boundsOf (*q.toDoDisplay), juce::Rectangle<int> (266, 140, 530, 188));
    EXPECT_EQ (boundsOf (*q.doItButton), juce::Rectangle<int> (712, 332, 80, 24));
    EXPECT_EQ (boundsOf (*q.doneLabel), juce::Rectangle<int> (266, 356, 96, 20));
    EXPECT_EQ (boundsOf (*q.doneDisplay), juce::Rectangle<int> (266, 376, 530, 164));
    EXPECT_EQ (boundsOf (*q.saveLogButton), juce::Rectangle<int> (708, 544, 80, 24));
}

TEST (Panel, LayoutAfterResizingKeepsAThirdAndStretchesToTheRightEdge)
{
    Panel p;
    auto& q = p.panel;
    q.layoutControls (0, 24, 1201, 776);

    EXPECT_EQ (boundsOf (*q.fileBrowser), juce::Rectangle<int> (0, 0, 400, 776));
    EXPECT_EQ (q.replaceWhatValue->getRight(), 1197);
    EXPECT_EQ (q.formulaValue->getRight(), 1197);
    EXPECT_EQ (boundsOf (*q.toDoDisplay), juce::Rectangle<int> (400, 140, 797, (776 - 120) / 2 - 40));
    EXPECT_EQ (q.doneDisplay->getRight(), 1197);
    EXPECT_EQ (q.doneDisplay->getBottom(), 776 - 36);
    EXPECT_EQ (q.saveLogButton->getBottom(), 776 - 8);
}

TEST (Panel, DoItRunsTheBatchAndShowsTheLog)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah\n");

    Panel p;
    p.showFolder (folder);
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();

    EXPECT_EQ (folder.read ("a.xml"), "Blub\n");
    const auto log = p.panel.doneDisplay->getText();
    EXPECT_TRUE (log.startsWith ("creating backup in file: " + folder.file ("QuillmereBackup.zip").getFullPathName() + "...done. \n"));
    EXPECT_TRUE (log.endsWith ("\nBatch processing finished. \n"));
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Batch processing finished" }));

    // A second run shows only its own log.
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    EXPECT_TRUE (p.panel.doneDisplay->getText().startsWith ("creating backup in file: "
                                                            + folder.file ("QuillmereBackup(2).zip").getFullPathName()));
}

TEST (Panel, ConvertThroughThePanel)
{
    TestFolder folder;
    folder.write ("a.xml", "<e SomeAttribute=\"2\"/>");

    Panel p;
    p.showFolder (folder);
    p.choose (*p.panel.doWhatComboBox, 2);
    p.panel.formulaValue->setText ("y = x * 10;", juce::sendNotificationSync);
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();

    EXPECT_EQ (folder.read ("a.xml"), "<e SomeAttribute=\"20\"/>");
    EXPECT_TRUE (p.panel.checkFormula());
    p.panel.formulaValue->setText ("y = ", juce::sendNotificationSync);
    EXPECT_FALSE (p.panel.checkFormula());
}

TEST (Panel, SaveLogWritesHeaderDescriptionAndLogAndRefusesAnEmptyLog)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");
    Panel p;
    p.showFolder (folder);

    p.panel.saveLog();
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Nothing to save" }));
    EXPECT_FALSE (folder.file ("QuillmereLog.txt").exists());

    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    p.alerts->alerts.clear();
    p.panel.saveLog();

    const auto logFile = folder.file ("QuillmereLog.txt");
    const auto expected = ("Quillmere Logfile \n \n" + p.description() + "\n" + p.panel.doneDisplay->getText()).replace ("\n", "\r\n");
    EXPECT_EQ (juce::String (TestFolder::readBytes (logFile)), expected);
    ASSERT_EQ (p.alerts->alerts.size(), 1u);
    EXPECT_EQ (p.alerts->alerts[0].title, "Log File saved");
    EXPECT_EQ (p.alerts->alerts[0].message, "Logfile saved in " + logFile.getFullPathName());

    p.panel.saveLog();
    EXPECT_TRUE (folder.file ("QuillmereLog(2).txt").existsAsFile());
}

TEST (Panel, ChangingFolderClearsTheLogAndANewFileIsPickedUp)
{
    TestFolder folder, other;
    folder.write ("a.xml", "Blah");
    Panel p;
    p.showFolder (folder);
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    EXPECT_FALSE (p.panel.doneDisplay->isEmpty());

    // A file added while the window is idle is in the description, and in the run.
    juce::Thread::sleep (1100); // folder times may count whole seconds
    folder.write ("late.xml", "Blah");
    for (int tick = 0; tick < 300 && ! p.description().contains ("late.xml"); ++tick)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    EXPECT_TRUE (p.description().contains (folder.file ("late.xml").getFullPathName()));
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    EXPECT_EQ (folder.read ("late.xml"), "Blub");

    p.showFolder (other);
    EXPECT_TRUE (p.panel.doneDisplay->isEmpty());
}

TEST (Panel, RestoreBackupUndoesTheLastRun)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");
    Panel p;
    p.showFolder (folder);
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    ASSERT_EQ (folder.read ("a.xml"), "Blub");

    p.choose (*p.panel.doWhatComboBox, 3);
    EXPECT_FALSE (p.panel.doWhereComboBox->isEnabled());
    EXPECT_EQ (p.panel.backupValue->getText(), "QuillmereBackup.zip");
    EXPECT_TRUE (p.description().startsWith ("Restore files from backup: 'QuillmereBackup.zip' \n"));
    EXPECT_TRUE (p.description().endsWith ("affected files (1):\n\n" + folder.file ("a.xml").getFullPathName() + "\n"));

    p.alerts->alerts.clear();
    p.panel.buttonClicked (p.panel.doItButton.get());
    p.panel.waitForRun();
    EXPECT_EQ (folder.read ("a.xml"), "Blah");
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Restore finished" }));
}

TEST (Panel, GoingUpInTheBrowserMovesTheRunToThatFolder)
{
    TestFolder folder;
    folder.write ("top.xml", "");
    folder.write ("sub/inner.xml", "");

    Panel p;
    p.showFolder (folder);
    p.panel.fileBrowser->setRoot (folder.file ("sub")); // as a double click into "sub" does
    EXPECT_EQ (p.panel.getCurrentDirectoryPath(), folder.file ("sub").getFullPathName());

    p.panel.fileBrowser->goUp(); // the browser's own "up" button
    EXPECT_EQ (p.panel.getCurrentDirectoryPath(), folder.path());
    EXPECT_TRUE (p.description().contains ("in xml-files in folder: " + folder.path() + "\n"));
    EXPECT_TRUE (p.description().contains ("affected files (1):\n\n" + folder.file ("top.xml").getFullPathName()));
}

TEST (Panel, BrowserSelectionOfAFileKeepsTheFolder)
{
    TestFolder folder;
    folder.write ("a.xml", "");
    Panel p;
    p.showFolder (folder);

    p.panel.fileBrowser->setRoot (folder.file ("missing"));
    p.panel.selectionChanged();
    EXPECT_EQ (p.panel.getCurrentDirectoryPath(), folder.path());
    EXPECT_EQ (p.panel.numFiles, 1);
}

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI framework;
    return RUN_ALL_TESTS();
}

TEST (Panel, PreviewShowsTheChangedLinesAndWritesNothing)
{
    TestFolder folder;
    folder.write ("a.xml", "<a>\n<b>Blah</b>\n</a>\n");
    folder.write ("same.xml", "<a/>");
    Panel p;
    p.showFolder (folder);

    p.panel.buttonClicked (p.panel.previewButton.get());
    p.panel.waitForRun();

    const auto shown = p.panel.doneDisplay->getText();
    EXPECT_TRUE (shown.contains (folder.file ("a.xml").getFullPathName() + ": 1 change")) << shown;
    EXPECT_TRUE (shown.contains ("line 2: <b>Blah</b> -> <b>Blub</b>")) << shown;
    EXPECT_TRUE (shown.contains (folder.file ("same.xml").getFullPathName() + ": no change")) << shown;
    EXPECT_EQ (folder.read ("a.xml"), "<a>\n<b>Blah</b>\n</a>\n");
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_TRUE (p.alerts->alerts.empty());

    p.panel.saveLog(); // saves the preview
    EXPECT_TRUE (juce::String (folder.read ("QuillmereLog.txt")).contains ("line 2: <b>Blah</b> -> <b>Blub</b>"));
}
