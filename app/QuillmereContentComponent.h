#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "AlertPresenter.h"
#include "BatchSettings.h"
#include "FileManager.h"
#include "FormulaEngine.h"
#include "FormulaErrorMarks.h"
#include "PatternFileFilter.h"
#include "Recipe.h"
#include "RunProgressBar.h"

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
                                  private juce::Timer,
                                  private juce::FileBrowserListener
{
public:
    explicit QuillmereContentComponent (const juce::String& name);
    ~QuillmereContentComponent() override;

    void resized() override;

    /** Rebuilds the task description from the widgets. */
    void updateToDoText();

    /** "Do it!": refuses what the operation refuses, else starts the run. */
    void runBatch();

    /** Whether the formula field holds a formula the engine accepts. */
    bool checkFormula();

    void saveLog();

    /** Makes the recipe in file the panel's operation: "Do what:" reads
        "apply recipe", the description lists its steps, and its file lines
        set the Files: field and the scope. Choosing an operation in "Do
        what:" clears it. Fails, changing nothing, with the recipe's problems. */
    juce::Result loadRecipe (const juce::File& file);

    /** Writes the loaded recipe, or the current operation as a recipe of one
        step, with the Files: field and the scope as its file lines. */
    juce::Result saveRecipe (const juce::File& file);

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

    /** The program's folder, or the home folder when the program's folder
        cannot be written (an installed program). */
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
    juce::FileBrowserComponent& getFileBrowser() { return *fileBrowser; }
    juce::ComboBox& getOperationChoice() { return *doWhatComboBox; }
    juce::ComboBox& getScopeChoice() { return *doWhereComboBox; }
    juce::Label& getFilesField() { return *filesValue; }
    juce::Label& getReplaceWhatField() { return *replaceWhatValue; }
    juce::Label& getReplaceWithField() { return *replaceWithValue; }
    juce::ToggleButton& getRegexToggle() { return *regexToggle; }
    juce::Label& getAttributeField() { return *attributeValue; }
    juce::Label& getFormulaField() { return *formulaValue; }
    juce::ComboBox& getNumberFormatChoice() { return *numberFormatComboBox; }
    juce::ComboBox& getBackupChoice() { return *backupChoice; }

    /** The backup a restore would take: the one chosen in the list, or the name typed. */
    juce::String chosenBackupName() const;
    juce::Label& getFormulaError() { return *formulaErrorLabel; }
    const FormulaErrorMarks& getFormulaErrorMarks() const { return formulaMarks; }
    juce::TextEditor& getDescription() { return *toDoDisplay; }
    juce::TextEditor& getLog() { return *doneDisplay; }
    juce::TextButton& getDoItButton() { return *doItButton; }
    juce::TextButton& getPreviewButton() { return *previewButton; }
    juce::TextButton& getSaveLogButton() { return *saveLogButton; }
    juce::TextButton& getLoadRecipeButton() { return *loadRecipeButton; }
    juce::TextButton& getSaveRecipeButton() { return *saveRecipeButton; }
    const RunProgressBar& getProgressBar() const { return *progressBar; }

    /** Each parameter field with the caption before it. */
    std::vector<std::pair<juce::Label*, juce::Label*>> captionedFields() const;

    /** The browser's selection moved: a folder chosen inside the listed one becomes the target. */
    void selectionChanged() override;

private:
    // juce::FileBrowserListener
    void fileClicked (const juce::File&, const juce::MouseEvent&) override {}
    void fileDoubleClicked (const juce::File&) override {}
    void browserRootChanged (const juce::File& newRoot) override;

    void timerCallback() override;

    std::unique_ptr<juce::Label> makeCaption (const juce::String& name, const juce::String& text, bool visible);
    std::unique_ptr<juce::Label> makeValue (const juce::String& name, const juce::String& text, bool visible);
    std::unique_ptr<juce::ComboBox> makeChoice (const juce::String& name, const juce::StringArray& items);
    std::unique_ptr<juce::TextEditor> makeDisplay (const juce::String& name);
    std::unique_ptr<juce::TextButton> makeButton (const juce::String& text, std::function<void()> onClick);

    void operationChosen();
    void scopeChosen();
    void patternChanged();
    void showOperationFields (std::optional<OperationKind> operation);
    void folderChanged (const juce::File& folder);
    void startRun (bool preview);
    void pumpRun();
    void finishRun();
    void appendToLog (const juce::String& text);
    void followEditing (juce::Label& field);
    bool showFormulaCheck (const BatchSettings& settings);
    juce::Result writeRunLog (juce::File& logFile);
    void setControlsEnabled (bool enabled);
    juce::String folderSignature() const;
    void rescanIfFolderChanged();
    void followNewestBackup();
    void listBackups (const juce::String& toSelect);
    void chooseRecipeToLoad();
    void chooseRecipeToSave();

    FileManager fileList;
    FormulaEngine formulaEngine;
    FormulaEngine formulaChecker; // checks the formula as it is typed, apart from the run's variables

    PatternFileFilter browserFilter;
    std::unique_ptr<juce::FileBrowserComponent> fileBrowser;
    std::unique_ptr<juce::Label> filesLabel;
    std::unique_ptr<juce::Label> filesValue;
    std::unique_ptr<juce::Label> doWhatLabel;
    std::unique_ptr<juce::ComboBox> doWhatComboBox;
    std::unique_ptr<juce::Label> doWhereLabel;
    std::unique_ptr<juce::ComboBox> doWhereComboBox;
    std::unique_ptr<juce::Label> replaceWhatLabel;
    std::unique_ptr<juce::Label> replaceWhatValue;
    std::unique_ptr<juce::ToggleButton> regexToggle;
    std::unique_ptr<juce::Label> replaceWithLabel;
    std::unique_ptr<juce::Label> replaceWithValue;
    std::unique_ptr<juce::Label> attributeToConvertLabel;
    std::unique_ptr<juce::Label> attributeValue;
    std::unique_ptr<juce::Label> conversionFormulaLabel;
    std::unique_ptr<juce::Label> formulaValue;
    std::unique_ptr<juce::Label> numberFormatLabel;
    std::unique_ptr<juce::ComboBox> numberFormatComboBox; // a format of the list, or one typed in ("%.4f")
    std::unique_ptr<juce::Label> backupLabel;
    std::unique_ptr<juce::ComboBox> backupChoice;   // the folder's backups, newest first; a name may be typed
    std::vector<juce::File> listedBackups;          // what backupChoice's items stand for, by item id - 1
    std::unique_ptr<juce::Label> formulaErrorLabel; // what is wrong with the formula, as it is typed
    FormulaErrorMarks formulaMarks;                 // and where, under the field
    std::unique_ptr<juce::Label> toDoLabel;
    std::unique_ptr<juce::TextEditor> toDoDisplay;
    std::unique_ptr<juce::TextButton> previewButton;
    std::unique_ptr<juce::TextButton> doItButton;
    std::unique_ptr<RunProgressBar> progressBar;
    std::unique_ptr<juce::Label> doneLabel;
    std::unique_ptr<juce::TextEditor> doneDisplay;
    std::unique_ptr<juce::TextButton> saveLogButton;
    std::unique_ptr<juce::TextButton> loadRecipeButton;
    std::unique_ptr<juce::TextButton> saveRecipeButton;
    std::unique_ptr<juce::FileChooser> recipeChooser; // kept while its dialog is open
    std::vector<RecipeStep> recipeSteps;              // the recipe loaded, while "Do what:" reads "apply recipe"

    std::unique_ptr<AlertPresenter> alerts;
    std::unique_ptr<BatchJob> job;
    juce::String lastFolderSignature;
    int idleTicks = 0;
    bool jobIsPreview = false;
    bool patternEdited = false;       // the Files: field changed; the list follows at the next tick
    juce::String runDescription;      // the description of the run whose log "Done:" shows
    juce::Array<juce::File> runFiles; // and the files it listed
    juce::File runFolder;
    bool backupChosenByUser = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuillmereContentComponent)
};
