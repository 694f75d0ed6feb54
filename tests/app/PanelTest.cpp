#include "BatchTexts.h"
#include "QuillmereContentComponent.h"
#include "QuillmereLookAndFeel.h"
#include "Recipe.h"
#include "RunLog.h"
#include "TaskView.h"
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
            panel.getFileBrowser().setRoot (folder.get());
            panel.selectionChanged();
        }

        void choose (juce::ComboBox& comboBox, int itemId)
        {
            comboBox.setSelectedId (itemId, juce::sendNotificationSync);
        }

        juce::String description() { return panel.getDescription().getText(); }

        /** Chooses "convert value" and fills its two fields. */
        void chooseConvert (const juce::String& attribute, const juce::String& formula)
        {
            choose (panel.getOperationChoice(), 2);
            panel.getAttributeField().setText (attribute, juce::sendNotificationSync);
            panel.getFormulaField().setText (formula, juce::sendNotificationSync);
        }

        /** Presses "Do it!" and waits for the run and its alert. */
        void doIt()
        {
            panel.getDoItButton().onClick();
            panel.waitForRun();
        }

        QuillmereContentComponent panel { "Quillmere" };
        RecordingAlerts* alerts = nullptr;
    };

}

TEST (Panel, StartsWithTheDefaultsAndShowsTheDescriptionWithoutAClick)
{
    Panel p;
    EXPECT_EQ (p.panel.getName(), "Quillmere");
    EXPECT_EQ (p.panel.getWidth(), 800);
    EXPECT_EQ (p.panel.getHeight(), 600);
    EXPECT_EQ (p.panel.getOperationChoice().getText(), "replace string");
    EXPECT_EQ (p.panel.getScopeChoice().getText(), "files in folder");
    EXPECT_EQ (p.panel.getReplaceWhatField().getText(), "Blah");
    EXPECT_EQ (p.panel.getReplaceWithField().getText(), "Blub");
    EXPECT_EQ (p.panel.getFileList().wildcardPattern, "*.xml");
    EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), QuillmereContentComponent::startFolder().getFullPathName());

    const auto text = p.description();
    EXPECT_TRUE (text.startsWith ("Replace string: 'Blah' \nwith new string: 'Blub' \n\nin xml-files in folder: "
                                  + QuillmereContentComponent::startFolder().getFullPathName() + "\n\naffected files ("))
        << text;
}

TEST (Panel, EveryValueLabelIsAWhiteEditableFieldNamedAfterItsCaption)
{
    Panel p;
    for (const auto& [caption, value] : p.panel.captionedFields())
    {
        EXPECT_EQ (value->getName(), caption->getName());
        EXPECT_TRUE (value->isEditableOnSingleClick());
        EXPECT_TRUE (value->isEditableOnDoubleClick());
        EXPECT_FALSE (caption->isEditable());
        EXPECT_EQ (value->findColour (juce::Label::backgroundColourId), juce::Colours::white);
        EXPECT_EQ (value->findColour (juce::Label::outlineColourId), juce::Colours::black);
        EXPECT_EQ (value->getJustificationType(), juce::Justification::centredLeft);
    }
    EXPECT_TRUE (p.panel.getDescription().isReadOnly());
    EXPECT_TRUE (p.panel.getLog().isReadOnly());
}

TEST (Panel, SwitchingOperationSwapsTheFieldsAndKeepsTheirTexts)
{
    Panel p;
    p.panel.getReplaceWhatField().setText ("old text", juce::dontSendNotification);

    const auto visibility = [&p] {
        juce::String flags;
        for (const auto& [caption, value] : p.panel.captionedFields())
            flags << (caption->isVisible() ? "1" : "0") << (value->isVisible() ? "1" : "0");
        return flags;
    };

    // The structure edits' ten fields stand between the convert fields and the last pair.
    const auto hidden = juce::String::repeatedString ("0", 20);
    EXPECT_EQ (visibility(), "11110000" + hidden + "11");
    p.choose (p.panel.getOperationChoice(), 2);
    EXPECT_EQ (visibility(), "00001111" + hidden + "11");
    EXPECT_EQ (p.panel.getAttributeField().getText(), "SomeAttribute");
    EXPECT_EQ (p.panel.getFormulaField().getText(), "y = x;");
    EXPECT_TRUE (p.description().startsWith ("Convert value of attributes with name: 'SomeAttribute' \nvia the conversion formula: y = x;\n"));

    p.choose (p.panel.getOperationChoice(), 3);
    EXPECT_EQ (visibility(), "00000000" + hidden + "11");
    EXPECT_TRUE (p.panel.getBackupChoice().isVisible());

    p.choose (p.panel.getOperationChoice(), 4);
    EXPECT_EQ (visibility(), "00000000" + juce::String ("1111") + juce::String::repeatedString ("0", 16) + "11");
    EXPECT_TRUE (p.description().startsWith ("Set values selected by the path: '//SomeElement/@SomeAttribute' \nto the new value: '0' \n"));

    p.choose (p.panel.getOperationChoice(), 1);
    EXPECT_EQ (visibility(), "11110000" + hidden + "11");
    EXPECT_FALSE (p.panel.getBackupChoice().isVisible());
    EXPECT_EQ (p.panel.getReplaceWhatField().getText(), "old text");
}

TEST (Panel, ScopeRescansAndTheCountGrowsAndShrinks)
{
    TestFolder folder;
    folder.write ("b.xml", "<a/>");
    folder.write ("z/a.xml", "<a/>");
    folder.write ("notes.txt", "");

    Panel p;
    p.showFolder (folder);
    EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), folder.path());
    EXPECT_TRUE (p.description().contains ("affected files (1):\n\n" + folder.file ("b.xml").getFullPathName() + "\n"));

    p.choose (p.panel.getScopeChoice(), 2);
    EXPECT_TRUE (p.panel.getFileList().searchRecursively);
    EXPECT_TRUE (p.description().endsWith ("\nand all its subfolders (recursively)\n\naffected files (2):\n\n"
                                           + folder.file ("z/a.xml").getFullPathName() + "\n"
                                           + folder.file ("b.xml").getFullPathName() + "\n"))
        << p.description();

    p.choose (p.panel.getScopeChoice(), 1);
    EXPECT_FALSE (p.panel.getFileList().searchRecursively);
    EXPECT_TRUE (p.description().contains ("affected files (1):"));
}

TEST (Panel, TheFilesPatternRescansAndTheRunTakesWhatTheDescriptionLists)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");
    folder.write ("bank.xiz", "Blah");
    folder.write ("draft.xiz", "Blah");

    Panel p;
    p.showFolder (folder);
    p.panel.getFilesField().setText ("*.xiz; !draft*", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().contains ("files matching: *.xiz; !draft*\n\naffected files (1):\n\n"
                                           + folder.file ("bank.xiz").getFullPathName() + "\n"))
        << p.description();

    p.doIt();
    EXPECT_EQ (folder.read ("bank.xiz"), "Blub");
    EXPECT_EQ (folder.read ("a.xml"), "Blah");
    EXPECT_EQ (folder.read ("draft.xiz"), "Blah");
}

TEST (Panel, TheDescriptionFollowsTypingBeforeTheEditEnds)
{
    Panel p;
    auto& field = p.panel.getReplaceWithField();
    field.showEditor();
    ASSERT_NE (field.getCurrentTextEditor(), nullptr);
    field.getCurrentTextEditor()->setText ("label=\"", true);
    runMessageLoop(); // the editor announces each change as a message
    EXPECT_TRUE (p.description().contains ("with new string: 'label=\"' \n")) << p.description();
    EXPECT_EQ (p.panel.currentSettings().parameters.text ("with"), "label=\"");
}

TEST (Panel, SaveLogKeepsTheDescriptionOfTheRunThatWroteTheLog)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");

    Panel p;
    p.showFolder (folder);
    const auto runDescription = p.description();
    p.doIt();

    // A change of operation after the run does not rewrite what the run was.
    p.choose (p.panel.getOperationChoice(), 2);
    ASSERT_NE (p.description(), runDescription);
    p.panel.saveLog();
    const auto saved = folder.read ("QuillmereLog.txt");
    EXPECT_NE (saved.find (runDescription.replace ("\n", "\r\n").toStdString()), std::string::npos) << saved;
    EXPECT_EQ (saved.find ("Convert value"), std::string::npos);
}

TEST (Panel, AFormulaThatDoesNotParseIsShownAtOnceAndCannotRun)
{
    Panel p;
    p.choose (p.panel.getOperationChoice(), 2);
    p.panel.getFormulaField().setText ("y = ", juce::sendNotificationSync);
    EXPECT_TRUE (p.panel.getFormulaError().isVisible());
    EXPECT_TRUE (p.panel.getFormulaError().getText().contains ("character")) << p.panel.getFormulaError().getText();
    EXPECT_FALSE (p.panel.getDoItButton().isEnabled());
    EXPECT_FALSE (p.panel.getPreviewButton().isEnabled());

    // The carets mark the characters the message names, counted from 1 there.
    for (const juce::String formula : { "y = ", "y = x +* 2;", "y = foo(x);" })
    {
        p.panel.getFormulaField().setText (formula, juce::sendNotificationSync);
        const auto [first, last] = p.panel.getFormulaErrorMarks().getMarkedRange();
        EXPECT_TRUE (p.panel.getFormulaErrorMarks().isVisible()) << formula;
        const auto message = p.panel.getFormulaError().getText();
        EXPECT_TRUE (message.endsWith (last > first ? "characters " + juce::String (first + 1) + " to " + juce::String (last + 1)
                                                    : "character " + juce::String (first + 1)))
            << formula << ": " << message;
    }

    p.panel.getFormulaField().setText ("y = x * 2;", juce::sendNotificationSync);
    EXPECT_FALSE (p.panel.getFormulaError().isVisible());
    EXPECT_FALSE (p.panel.getFormulaErrorMarks().isVisible());
    EXPECT_TRUE (p.panel.getDoItButton().isEnabled());

    // Replace takes no formula: a broken one left in the field does not matter.
    p.panel.getFormulaField().setText ("y = ", juce::sendNotificationSync);
    p.choose (p.panel.getOperationChoice(), 1);
    EXPECT_TRUE (p.panel.getDoItButton().isEnabled());
}

TEST (Panel, EditingAValueLabelUpdatesTheDescription)
{
    Panel p;
    p.panel.getReplaceWithField().setText ("it's new", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().contains ("with new string: 'it's new' \n"));

    // The formula is not shown in replace mode, but editing it still rebuilds the text.
    p.panel.getDescription().setText ("stale", false);
    p.panel.getFormulaField().setText ("y = 2;", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().startsWith ("Replace string: 'Blah' \n"));
}

namespace
{
    /** The panel's own components, whose widgets are laid out inside them. */
    bool isComposite (juce::Component* component)
    {
        return dynamic_cast<TaskView*> (component) != nullptr || dynamic_cast<RunLog*> (component) != nullptr
            || dynamic_cast<OperationFields*> (component) != nullptr || dynamic_cast<BackupChoice*> (component) != nullptr;
    }

    std::vector<juce::Component*> visibleChildren (juce::Component& parent)
    {
        std::vector<juce::Component*> shown;
        for (auto* child : parent.getChildren())
            if (child->isVisible())
                shown.push_back (child);
        return shown;
    }

    /** Each visible widget lies inside its parent, overlaps none of its
        siblings and shows its text whole; the panel's own components are
        looked into. */
    void expectReadableLayout (juce::Component& parent, const juce::String& where)
    {
        const auto shown = visibleChildren (parent);
        for (size_t i = 0; i < shown.size(); ++i)
        {
            EXPECT_TRUE (parent.getLocalBounds().contains (shown[i]->getBounds())) << shown[i]->getName() << " " << where;
            for (size_t k = i + 1; k < shown.size(); ++k)
                EXPECT_FALSE (shown[i]->getBounds().intersects (shown[k]->getBounds()))
                    << shown[i]->getName() << " overlaps " << shown[k]->getName() << " at " << where;

            // A choice shows its longest item whole, beside its arrow.
            if (auto* choice = dynamic_cast<juce::ComboBox*> (shown[i]))
            {
                const auto font = choice->getLookAndFeel().getComboBoxFont (*choice);
                for (int item = 0; item < choice->getNumItems(); ++item)
                    EXPECT_LE (font.getStringWidthFloat (choice->getItemText (item)) + (float) choice->getHeight() + 8.0f, (float) choice->getWidth())
                        << choice->getItemText (item) << " at " << where;
            }

            if (auto* label = dynamic_cast<juce::Label*> (shown[i]))
            {
                // Text is drawn narrowed down to this scale before it is cut short.
                const auto narrowest = label->getMinimumHorizontalScale() > 0.0f ? label->getMinimumHorizontalScale()
                                                                                 : juce::Font::getDefaultMinimumHorizontalScaleFactor();
                const auto room = label->getBorderSize().subtractedFrom (label->getLocalBounds()).getWidth();
                EXPECT_LE (label->getFont().getStringWidthFloat (label->getText()) * narrowest, (float) room) << label->getText();
            }

            if (isComposite (shown[i]))
                expectReadableLayout (*shown[i], where);
        }
    }

    /** Where each visible widget lies in the panel, by name and order. */
    std::vector<juce::Rectangle<int>> layoutOf (juce::Component& panel, juce::Component& parent)
    {
        std::vector<juce::Rectangle<int>> bounds;
        for (auto* child : visibleChildren (parent))
        {
            bounds.push_back (panel.getLocalArea (&parent, child->getBounds()));
            if (isComposite (child))
                for (const auto& inner : layoutOf (panel, *child))
                    bounds.push_back (inner);
        }
        return bounds;
    }
}

TEST (Panel, AtAnySizeNothingOverlapsAndEveryCaptionIsReadable)
{
    Panel p;
    for (int operation = 1; operation <= p.panel.getOperationChoice().getNumItems(); ++operation)
    {
        p.choose (p.panel.getOperationChoice(), operation);
        for (const auto& size : { juce::Point<int> (800, 600), juce::Point<int> (1201, 776) })
        {
            p.panel.setSize (size.x, size.y);
            expectReadableLayout (p.panel, size.toString());

            // The fields, the description and the log reach to the window's right edge.
            for (auto* widened : { (juce::Component*) &p.panel.getDescription(), (juce::Component*) &p.panel.getLog() })
                EXPECT_EQ (p.panel.getLocalArea (widened->getParentComponent(), widened->getBounds()).getRight(), size.x - 4);
        }
    }

    // The recipe's steps take the fields' place, and more room.
    p.choose (p.panel.getOperationChoice(), 1);
    p.panel.addStep();
    for (const auto& size : { juce::Point<int> (800, 576), juce::Point<int> (1201, 776) })
    {
        p.panel.setSize (size.x, size.y);
        ASSERT_TRUE (p.panel.getRecipeSteps().isVisible());
        expectReadableLayout (p.panel, "the steps at " + size.toString());
    }
}

TEST (Panel, BelowTheSmallestSizeTheLayoutIsThatOfTheSmallestSize)
{
    // A tiling window manager may force any size: the widgets are then cut
    // off at the edge, never pushed onto each other.
    Panel p;
    for (int operation = 1; operation <= p.panel.getOperationChoice().getNumItems(); ++operation)
    {
        p.choose (p.panel.getOperationChoice(), operation);
        p.panel.setSize (QuillmereContentComponent::smallestWidth, QuillmereContentComponent::smallestHeight);
        const auto smallest = layoutOf (p.panel, p.panel);
        for (const auto& size : { juce::Point<int> (300, 200), juce::Point<int> (799, 900), juce::Point<int> (800, 600), juce::Point<int> (1000, 120) })
        {
            p.panel.setSize (size.x, size.y);
            const auto layout = layoutOf (p.panel, p.panel);
            ASSERT_EQ (layout.size(), smallest.size());
            for (size_t i = 0; i < layout.size(); ++i)
            {
                // Each dimension below the smallest keeps the smallest layout's positions along it.
                if (size.x < QuillmereContentComponent::smallestWidth)
                {
                    EXPECT_EQ (layout[i].getHorizontalRange(), smallest[i].getHorizontalRange()) << i << " at " << size.toString();
                }
                if (size.y < QuillmereContentComponent::smallestHeight)
                {
                    EXPECT_EQ (layout[i].getVerticalRange(), smallest[i].getVerticalRange()) << i << " at " << size.toString();
                }
            }
        }
    }
}

TEST (Panel, ARunThatEndsWhileCloseIsAskedWithdrawsTheQuestionAndShowsOneAlert)
{
    TestFolder folder;
    folder.write ("one.xml", "<a name=\"Blah\"/>");
    for (const bool endsFirst : { true, false })
    {
        Panel p;
        p.showFolder (folder);
        int closes = 0;
        p.panel.getDoItButton().onClick();
        p.panel.askToClose ([&closes] { ++closes; });
        ASSERT_EQ (p.alerts->openQuestions.size(), 1u);
        if (! endsFirst)
            p.alerts->answer (true); // cancel and close: the log is saved, the window closes
        p.panel.waitForRun();

        EXPECT_EQ (closes, endsFirst ? 0 : 1);
        EXPECT_TRUE (p.alerts->openQuestions.empty());
        EXPECT_EQ (p.alerts->titles().size(), endsFirst ? 1 : 0) << p.alerts->titles().joinIntoString (", ");
        EXPECT_FALSE (p.panel.isRunning());
    }
    EXPECT_FALSE (folder.get().findChildFiles (juce::File::findFiles, false, "QuillmereLog*.txt").isEmpty())
        << "the run closed during left its log beside its backup";
}

TEST (Panel, DoItRunsTheBatchAndShowsTheLog)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah\n");

    Panel p;
    p.showFolder (folder);
    p.doIt();

    EXPECT_EQ (folder.read ("a.xml"), "Blub\n");
    const auto log = p.panel.getLog().getText();
    EXPECT_TRUE (log.startsWith ("creating backup in file: " + folder.file ("QuillmereBackup.zip").getFullPathName() + "...done. \n"));
    EXPECT_TRUE (log.endsWith ("\nBatch processing finished. \n"));
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Batch processing finished" }));

    // A second run shows only its own log.
    p.doIt();
    EXPECT_TRUE (p.panel.getLog().getText().startsWith ("creating backup in file: "
                                                        + folder.file ("QuillmereBackup(2).zip").getFullPathName()));
}

TEST (Panel, ConvertThroughThePanel)
{
    TestFolder folder;
    folder.write ("a.xml", "<e SomeAttribute=\"2\"/>");

    Panel p;
    p.showFolder (folder);
    p.choose (p.panel.getOperationChoice(), 2);
    p.panel.getFormulaField().setText ("y = x * 10;", juce::sendNotificationSync);
    p.doIt();

    EXPECT_EQ (folder.read ("a.xml"), "<e SomeAttribute=\"20\"/>");
    EXPECT_TRUE (p.panel.checkFormula());
    p.panel.getFormulaField().setText ("y = ", juce::sendNotificationSync);
    EXPECT_FALSE (p.panel.checkFormula());
}

TEST (Panel, RegularExpressionToggleReplacesByPattern)
{
    TestFolder folder;
    folder.write ("a.xml", "<e gain=\"3dB\"/>");

    Panel p;
    p.showFolder (folder);
    p.panel.getReplaceWhatField().setText ("gain=\"(\\d+)dB\"", juce::sendNotificationSync);
    p.panel.getReplaceWithField().setText ("gain=\"${= _1 * 2 }dB\"", juce::sendNotificationSync);
    p.panel.getRegexToggle().setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (p.description().startsWith ("Replace regular expression: 'gain=\"(\\d+)dB\"' \n")) << p.description();

    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<e gain=\"6dB\"/>");
}

TEST (Panel, ConvertByPathInTheNumberFormatChosenAndRefuseAnUnsupportedPath)
{
    TestFolder folder;
    folder.write ("a.xml", "<e><p id='a' v='1.5'/><p id='b' v='2'/></e>");

    Panel p;
    p.showFolder (folder);
    p.chooseConvert ("//p[@id='b']/@v[1]", "y = x * 10;");
    p.doIt();
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Invalid Path" }));
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());

    p.panel.getAttributeField().setText ("//p[@id='b']/@v", juce::sendNotificationSync);
    p.panel.getNumberFormatChoice().setText ("%.1f", juce::sendNotificationSync);
    EXPECT_TRUE (p.description().startsWith ("Convert values selected by the path: '//p[@id='b']/@v' \n"
                                             "via the conversion formula: y = x * 10;\n"
                                             "written in the number format: %.1f\n"))
        << p.description();
    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<e><p id='a' v='1.5'/><p id='b' v='20.0'/></e>");
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

    p.doIt();
    p.alerts->alerts.clear();
    p.panel.saveLog();

    const auto logFile = folder.file ("QuillmereLog.txt");
    const auto expected = ("Quillmere Logfile \n \n" + p.description() + "\n" + p.panel.getLog().getText()).replace ("\n", "\r\n");
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
    p.doIt();
    EXPECT_FALSE (p.panel.getLog().isEmpty());

    // A file added while the window is idle is in the description, and in the run.
    juce::Thread::sleep (1100); // folder times may count whole seconds
    folder.write ("late.xml", "Blah");
    for (int tick = 0; tick < 300 && ! p.description().contains ("late.xml"); ++tick)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    EXPECT_TRUE (p.description().contains (folder.file ("late.xml").getFullPathName()));
    p.doIt();
    EXPECT_EQ (folder.read ("late.xml"), "Blub");

    p.showFolder (other);
    EXPECT_TRUE (p.panel.getLog().isEmpty());
}

TEST (Panel, RestoreBackupUndoesTheLastRun)
{
    TestFolder folder;
    folder.write ("a.xml", "Blah");
    Panel p;
    p.showFolder (folder);
    p.doIt();
    ASSERT_EQ (folder.read ("a.xml"), "Blub");

    p.choose (p.panel.getOperationChoice(), 3);
    EXPECT_FALSE (p.panel.getScopeChoice().isEnabled());
    EXPECT_EQ (p.panel.chosenBackupName(), "QuillmereBackup.zip");
    EXPECT_TRUE (p.description().startsWith ("Restore files from backup: 'QuillmereBackup.zip' \n"));
    EXPECT_TRUE (p.description().endsWith ("affected files (1):\n\n" + folder.file ("a.xml").getFullPathName() + "\n"));

    p.alerts->alerts.clear();
    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "Blah");
    EXPECT_EQ (p.alerts->titles(), juce::StringArray ({ "Restore finished" }));
    // The restore made QuillmereBackup(2).zip; the field stays on the one restored.
    EXPECT_TRUE (folder.file ("QuillmereBackup(2).zip").existsAsFile());
    EXPECT_EQ (p.panel.chosenBackupName(), "QuillmereBackup.zip");
}

TEST (Panel, TheBackupChoiceSkipsAFailedRunAndStaysOnTheBackupRestored)
{
    TestFolder folder;
    folder.write ("a.xml", "<a v=\"1\"/>");
    Panel p;
    p.showFolder (folder);
    p.chooseConvert ("v", "y = x * 2;");
    p.doIt();
    ASSERT_EQ (folder.read ("a.xml"), "<a v=\"2\"/>");

    // A formula that fails on the first value changes nothing and leaves no backup.
    p.panel.getFormulaField().setText ("y = sqrt(-1);", juce::sendNotificationSync);
    p.doIt();
    ASSERT_EQ (folder.read ("a.xml"), "<a v=\"2\"/>");
    p.choose (p.panel.getOperationChoice(), 3);
    EXPECT_EQ (p.panel.chosenBackupName(), "QuillmereBackup.zip");
    EXPECT_EQ (p.panel.getBackupChoice().getNumItems(), 1);
    EXPECT_TRUE (p.panel.getBackupChoice().getText().contains ("Convert value of attributes with name: 'v'"));
    EXPECT_TRUE (p.description().contains ("which undoes the run of ")) << p.description();

    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<a v=\"1\"/>");
    EXPECT_EQ (p.panel.getBackupChoice().getNumItems(), 2);
    EXPECT_EQ (p.panel.chosenBackupName(), "QuillmereBackup.zip");

    // Choosing the newest, the restore's own backup, undoes the undo.
    p.choose (p.panel.getBackupChoice(), 1);
    EXPECT_EQ (p.panel.chosenBackupName(), "QuillmereBackup(2).zip");
    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<a v=\"2\"/>");
}

TEST (Panel, ADroppedFolderOrFileBecomesTheFolderWorkedOn)
{
    TestFolder first, second;
    second.write ("sub/b.xml", "<b/>");
    Panel p;
    p.showFolder (first);

    const std::pair<juce::File, juce::File> drops[] = { { second.get(), second.get() },
                                                        { second.file ("sub/b.xml"), second.file ("sub") } };
    for (const auto& [dropped, expected] : drops)
    {
        ASSERT_TRUE (p.panel.isInterestedInFileDrag ({ dropped.getFullPathName() }));
        p.panel.filesDropped ({ dropped.getFullPathName() }, 10, 10);
        p.panel.selectionChanged();
        EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), expected.getFullPathName());
        EXPECT_TRUE (p.description().contains ("in xml-files in folder: " + expected.getFullPathName())) << p.description();
    }
}

TEST (Panel, GoingUpInTheBrowserMovesTheRunToThatFolder)
{
    TestFolder folder;
    folder.write ("top.xml", "");
    folder.write ("sub/inner.xml", "");

    Panel p;
    p.showFolder (folder);
    p.panel.getFileBrowser().setRoot (folder.file ("sub")); // as a double click into "sub" does
    EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), folder.file ("sub").getFullPathName());

    p.panel.getFileBrowser().goUp(); // the browser's own "up" button
    EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), folder.path());
    EXPECT_TRUE (p.description().contains ("in xml-files in folder: " + folder.path() + "\n"));
    EXPECT_TRUE (p.description().contains ("affected files (1):\n\n" + folder.file ("top.xml").getFullPathName()));
}

TEST (Panel, BrowserSelectionOfAFileKeepsTheFolder)
{
    TestFolder folder;
    folder.write ("a.xml", "");
    Panel p;
    p.showFolder (folder);

    p.panel.getFileBrowser().setRoot (folder.file ("missing"));
    p.panel.selectionChanged();
    EXPECT_EQ (p.panel.getFileList().getCurrentDirectoryPath(), folder.path());
    EXPECT_EQ (p.panel.getFileList().numFiles, 1);
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

    p.panel.getPreviewButton().onClick();
    p.panel.waitForRun();

    const auto shown = p.panel.getLog().getText();
    EXPECT_TRUE (shown.startsWith ("Preview: nothing was written\n")) << shown;
    EXPECT_TRUE (shown.contains (folder.file ("a.xml").getFullPathName() + ": 1 change")) << shown;
    EXPECT_TRUE (shown.contains ("line 2: <b>Blah</b> -> <b>Blub</b>")) << shown;
    EXPECT_TRUE (shown.contains (folder.file ("same.xml").getFullPathName() + ": no change")) << shown;
    EXPECT_EQ (folder.read ("a.xml"), "<a>\n<b>Blah</b>\n</a>\n");
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_TRUE (p.alerts->alerts.empty());

    p.panel.saveLog(); // saves the preview
    EXPECT_TRUE (juce::String (folder.read ("QuillmereLog.txt")).contains ("line 2: <b>Blah</b> -> <b>Blub</b>"));
}

TEST (Panel, ALoadedRecipeRunsInOnePassAndSavesBackAsItWasRead)
{
    TestFolder folder, place;
    folder.write ("a.xml", "<p>cat chases dog</p>");
    folder.write ("sub/b.preset", "<p>dog</p>");
    const auto recipe = place.write ("swap.recipe", "replace cat dog\nreplace dog cat\ninclude '*.xml; *.preset'\nrecursive\n");
    const auto bad = place.write ("bad.recipe", "replace cat\n");

    Panel p;
    p.showFolder (folder);
    const auto failed = p.panel.loadRecipe (bad);
    EXPECT_EQ (failed.getErrorMessage(), "line 1: replace takes WHAT and WITH, here 1 value");
    EXPECT_EQ (p.panel.getOperationChoice().getText(), "replace string");

    ASSERT_TRUE (p.panel.loadRecipe (recipe).wasOk());
    EXPECT_EQ (p.panel.getOperationChoice().getText(), "apply recipe");
    EXPECT_EQ (p.panel.getScopeChoice().getText(), BatchTexts::recursiveScope);
    EXPECT_FALSE (p.panel.getReplaceWhatField().isVisible());
    EXPECT_TRUE (p.description().startsWith ("Apply a recipe of 2 steps, all in one pass over each file: \nstep 1: replace cat dog\nstep 2: replace dog cat\n"))
        << p.description();
    EXPECT_TRUE (p.description().contains ("affected files (2)")) << p.description();

    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<p>dog chases cat</p>");
    EXPECT_EQ (folder.read ("sub/b.preset"), "<p>cat</p>");

    // Saved, it reads back as the same steps and file lines.
    const auto saved = place.file ("saved.recipe");
    ASSERT_TRUE (p.panel.saveRecipe (saved).wasOk());
    Recipe original, reread;
    ASSERT_TRUE (Recipe::load (recipe, original).wasOk());
    ASSERT_TRUE (Recipe::load (saved, reread).wasOk());
    EXPECT_EQ (reread.toText(), original.toText());

    // Choosing an operation clears the recipe; one operation saves as a recipe of one step.
    p.choose (p.panel.getOperationChoice(), 2);
    EXPECT_TRUE (p.description().startsWith ("Convert value of attributes with name: 'SomeAttribute' \n")) << p.description();
    ASSERT_TRUE (p.panel.saveRecipe (saved).wasOk());
    ASSERT_TRUE (Recipe::load (saved, reread).wasOk());
    ASSERT_EQ (reread.steps.size(), 1u);
    EXPECT_EQ (reread.steps[0].text(), "convert SomeAttribute 'y = x;'");
}

TEST (Panel, StepsAddedInTheWindowAreWhatRunsAndWhatIsSaved)
{
    TestFolder folder, place;
    folder.write ("a.xml", "<p v=\"2\">cat</p>");
    Panel p;
    p.showFolder (folder);

    // Step 1: a replace; step 2: a convert; then the convert moved first.
    p.panel.getReplaceWhatField().setText ("cat", juce::sendNotificationSync);
    p.panel.getReplaceWithField().setText ("dog", juce::sendNotificationSync);
    p.panel.getAddStepButton().onClick();
    EXPECT_EQ (p.panel.getOperationChoice().getText(), "apply recipe");
    p.chooseConvert ("v", "y = x * 3;");
    EXPECT_EQ (p.panel.getRecipeSteps().getSteps().size(), 1u) << "choosing an operation keeps the steps";
    p.panel.getAddStepButton().onClick();
    auto& steps = p.panel.getRecipeSteps();
    ASSERT_EQ (steps.getSteps().size(), 2u);
    EXPECT_TRUE (steps.isVisible());
    EXPECT_EQ (steps.getList().getSelectedRow(), 1);
    steps.moveChosen (-1);
    EXPECT_EQ (steps.getSteps()[0].text(), "convert v 'y = x * 3;'");
    EXPECT_TRUE (p.description().contains ("step 1: convert v 'y = x * 3;'\nstep 2: replace cat dog\n")) << p.description();

    const auto saved = place.file ("two.recipe");
    ASSERT_TRUE (p.panel.saveRecipe (saved).wasOk());
    EXPECT_EQ (steps.getFileName().getText(), saved.getFullPathName());
    p.doIt();
    EXPECT_EQ (folder.read ("a.xml"), "<p v=\"6\">dog</p>");

    // A recipe read back shows its file and the same steps.
    Panel other;
    ASSERT_TRUE (other.panel.loadRecipe (saved).wasOk());
    EXPECT_EQ (other.panel.getRecipeSteps().getFileName().getText(), saved.getFullPathName());
    ASSERT_EQ (other.panel.getRecipeSteps().getSteps().size(), 2u);
    EXPECT_EQ (other.panel.getRecipeSteps().getSteps(), steps.getSteps());

    // Removing every step gives "Do what:" its first operation back.
    steps.removeChosen();
    steps.removeChosen();
    EXPECT_TRUE (steps.isEmpty());
    EXPECT_EQ (p.panel.getOperationChoice().getText(), "replace string");
    EXPECT_FALSE (steps.isVisible());
}

TEST (AlertBox, EveryIconLiesWhollyInsideTheBox)
{
    // The framework's alert box would need a display; where the icon goes is
    // what decides whether it is cut.
    for (const int height : { 90, 120, 180, 320, 600 })
    {
        const juce::Rectangle<int> box (1, 1, 400, height);
        const auto icon = QuillmereLookAndFeel::alertIconArea (box);
        EXPECT_TRUE (box.toFloat().reduced (4.0f).contains (icon)) << icon.toString() << " in " << height;
        EXPECT_GE (icon.getHeight(), 24.0f) << height;
    }
}
