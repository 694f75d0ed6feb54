#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "AlertPresenter.h"
#include "BatchSettings.h"
#include "FileManager.h"
#include "FolderWatch.h"
#include "FormulaEngine.h"
#include "OperationArea.h"
#include "FolderBrowser.h"
#include "TaskChoices.h"
#include "Recipe.h"
#include "RunLog.h"
#include "TaskView.h"

class BatchJob;

/**
    The batch panel: a folder browser on the left; on the right the operation
    and scope choices, the parameter fields, the task description, "Do it!",
    the log of the last run and "Save Log".

    The panel only reads its widgets and shows results: the description, the
    run and the log file are plain code it calls, and whether a run may start
    is the operation's to say. A run works on a worker thread: the panel shows
    its progress and growing log about ten times a second, offers "Cancel" in
    place of "Do it!", and shows the final alert from the message thread.
    While idle it rescans the folder when its contents change.
*/
class QuillmereContentComponent : public juce::Component,
                                  public juce::FileDragAndDropTarget,
                                  private juce::Timer
{
public:
    explicit QuillmereContentComponent (const juce::String& name);
    ~QuillmereContentComponent() override;

    void resized() override;

    /** The size the panel is laid out for at the least: that of the window
        it opens in, 800 by 600, less the window's title bar. */
    static constexpr int titleBarHeight = 24, smallestWidth = 800, smallestHeight = 600 - titleBarHeight;

    /** Rebuilds the task description from the widgets. */
    void updateToDoText();

    /** "Do it!": refuses what the operation refuses, else starts the run. */
    void runBatch();

    /** Whether the formula field holds a formula the engine accepts. */
    bool checkFormula();

    void saveLog();

    /** Makes the recipe in file the steps of "apply recipe" and chooses it:
        the steps show in place of an operation's fields, the description
        lists them, and the file lines set the Files: field and the scope.
        Choosing an operation in "Do what:" keeps the steps for "apply
        recipe". Fails, changing nothing, with the recipe's problems. */
    juce::Result loadRecipe (const juce::File& file);

    /** Writes the steps of "apply recipe" while it is chosen, else the
        current operation as a recipe of one step, with the Files: field and
        the scope as its file lines. */
    juce::Result saveRecipe (const juce::File& file);

    /** "Add as step": the operation on screen becomes the recipe's last step, and "apply recipe" is chosen. */
    void addStep();

    RecipeSteps& getRecipeSteps() { return operationArea.getRecipeSteps(); }
    juce::TextButton& getAddStepButton() { return taskView.getAddStepButton(); }

    /** Shows in "Done:" what "Do it!" would change, file by file and line by
        line, on the worker thread like a run; writes nothing. */
    void runPreview();

    /** True while a run works on its thread. */
    bool isRunning() const { return job != nullptr; }

    /** Waits until the run at work has ended and its alert was shown (for tests and tools). */
    void waitForRun();

    /** Cancels the run at work, as the "Cancel" button and Escape do. */
    void cancelRun();

    /** For closing the window during a run: cancels it, waits for the file
        at hand, and saves the run's log beside its backup without a word.
        The saved log, or none when nothing was saved. */
    juce::File cancelRunAndSaveLog();

    /** Closing the window: at once when idle; during a run after asking
        whether to cancel it. A run that ends meanwhile withdraws the
        question; then close is not called. */
    void askToClose (std::function<void()> close);

    /** Where the window starts without a folder given: the program's folder
        when it can be written and holds XML files (a copy of the program
        put beside them), else the user's Documents folder, else the home
        folder. */
    static juce::File startFolder();

    /** Makes folder the one worked on, as choosing it in the browser does. */
    void showFolder (const juce::File& folder);

    /** Called with the folder worked on whenever it changes (for the window's title). */
    std::function<void (const juce::File&)> onFolderChanged;

    bool keyPressed (const juce::KeyPress& key) override;

    // A folder dropped on the window becomes the one worked on; a file
    // dropped brings its folder. Nothing is taken during a run.
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    /** The operation, its parameters, the folder and the listed files, as the widgets show them. */
    BatchSettings currentSettings();

    /** Alerts go to modal boxes unless a test or a tool installs another presenter. */
    void setAlertPresenter (std::unique_ptr<AlertPresenter> presenter);

    /** The folder worked on and its listed files. */
    FileManager& getFileList() { return fileList; }

    // The widgets a user works with, for tests that drive the panel as a user would.
    juce::FileBrowserComponent& getFileBrowser() { return folderBrowser.getBrowser(); }
    juce::ComboBox& getOperationChoice() { return choices.getOperationChoice(); }
    juce::ComboBox& getScopeChoice() { return choices.getScopeChoice(); }
    juce::Label& getFilesField() { return choices.getFilesField(); }
    juce::Label& getReplaceWhatField() { return *fieldsOf ("replace string").label ("what"); }
    juce::Label& getReplaceWithField() { return *fieldsOf ("replace string").label ("with"); }
    juce::ToggleButton& getRegexToggle() { return *fieldsOf ("replace string").toggle ("regex"); }
    juce::Label& getAttributeField() { return *fieldsOf ("convert value").label ("attribute"); }
    juce::Label& getFormulaField() { return *fieldsOf ("convert value").label ("formula"); }
    juce::ComboBox& getNumberFormatChoice() { return *fieldsOf ("convert value").choice ("numberFormat"); }
    juce::ComboBox& getBackupChoice() { return fieldsOf ("restore backup").backupChoice()->getChoice(); }

    /** The fields of the operation labelled label in "Do what:". */
    OperationFields& fieldsOf (const juce::String& label) const { return operationArea.fieldsOf (label); }

    /** The backup a restore would take: the one chosen in the list, or the name typed. */
    juce::String chosenBackupName() const { return operationArea.chosenBackupName(); }
    juce::Label& getFormulaError() { return taskView.getProblem(); }
    const FormulaErrorMarks& getFormulaErrorMarks() const { return fieldsOf ("convert value").getFormulaMarks(); }
    juce::TextEditor& getDescription() { return taskView.getDescription(); }
    juce::TextEditor& getLog() { return runLog.getDisplay(); }
    juce::TextButton& getDoItButton() { return taskView.getDoItButton(); }
    juce::TextButton& getPreviewButton() { return taskView.getPreviewButton(); }
    juce::TextButton& getSaveLogButton() { return runLog.getSaveLogButton(); }
    juce::TextButton& getLoadRecipeButton() { return runLog.getLoadRecipeButton(); }
    juce::TextButton& getSaveRecipeButton() { return runLog.getSaveRecipeButton(); }
    const RunProgressBar& getProgressBar() const { return taskView.getProgressBar(); }

    /** Each parameter field with the caption before it. */
    std::vector<std::pair<juce::Label*, juce::Label*>> captionedFields();

    /** The browser's selection moved: a folder chosen inside the listed one becomes the target. */
    void selectionChanged() { folderBrowser.selectionChanged(); }

private:
    void timerCallback() override;
    void takeFocusAfterAlert();

    void connectChoices();
    void connectTaskAndLog();

    void operationChosen();
    void scopeChosen();
    void patternChanged();
    void showOperationFields (const OperationDeclaration* operation);
    void folderChosen (const juce::File& folder);
    void folderChanged (const juce::File& folder);
    void startRun (bool preview, const BatchSettings& settings);
    void pumpRun();
    void finishRun();
    bool showFormulaCheck();
    void setControlsEnabled (bool enabled);
    void rememberFolder();
    void rescanIfFolderChanged();
    void followNewestBackup();
    void chooseRecipeToLoad();
    void chooseRecipeToSave();
    void showRecipe();
    void stepsChanged();

    FileManager fileList;
    FormulaEngine formulaEngine;
    FormulaEngine formulaChecker; // checks the formula as it is typed, apart from the run's variables

    FolderBrowser folderBrowser;
    TaskChoices choices;
    OperationArea operationArea;
    TaskView taskView;
    RunLog runLog;

    std::unique_ptr<AlertPresenter> alerts;
    std::unique_ptr<BatchJob> job;
    FolderWatch folderWatch;
    int idleTicks = 0;
    bool jobIsPreview = false;
    bool patternEdited = false; // the Files: field changed; the list follows at the next tick

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuillmereContentComponent)
};
