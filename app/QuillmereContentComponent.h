#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "AlertPresenter.h"
#include "BatchSettings.h"
#include "FileManager.h"
#include "FormulaEngine.h"
#include "OperationFields.h"
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
    juce::FileBrowserComponent& getFileBrowser() { return *fileBrowser; }
    juce::ComboBox& getOperationChoice() { return *doWhatComboBox; }
    juce::ComboBox& getScopeChoice() { return *doWhereComboBox; }
    juce::Label& getFilesField() { return *filesValue; }
    juce::Label& getReplaceWhatField() { return *fieldsOf ("replace string").label ("what"); }
    juce::Label& getReplaceWithField() { return *fieldsOf ("replace string").label ("with"); }
    juce::ToggleButton& getRegexToggle() { return *fieldsOf ("replace string").toggle ("regex"); }
    juce::Label& getAttributeField() { return *fieldsOf ("convert value").label ("attribute"); }
    juce::Label& getFormulaField() { return *fieldsOf ("convert value").label ("formula"); }
    juce::ComboBox& getNumberFormatChoice() { return *fieldsOf ("convert value").choice ("numberFormat"); }
    juce::ComboBox& getBackupChoice() { return fieldsOf ("restore backup").backupChoice()->getChoice(); }

    /** The fields of the operation labelled label in "Do what:". */
    OperationFields& fieldsOf (const juce::String& label) const;

    /** The backup a restore would take: the one chosen in the list, or the name typed. */
    juce::String chosenBackupName() const;
    juce::Label& getFormulaError() { return *formulaErrorLabel; }
    const FormulaErrorMarks& getFormulaErrorMarks() const { return fieldsOf ("convert value").getFormulaMarks(); }
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
    std::unique_ptr<juce::ComboBox> makeChoice (const juce::String& name, const juce::StringArray& items);
    std::unique_ptr<juce::TextEditor> makeDisplay (const juce::String& name);
    std::unique_ptr<juce::TextButton> makeButton (const juce::String& text, std::function<void()> onClick);

    void operationChosen();
    void scopeChosen();
    void patternChanged();
    void showOperationFields (const OperationDeclaration* operation);
    OperationFields* shownFields() const;
    void folderChanged (const juce::File& folder);
    void startRun (bool preview);
    void pumpRun();
    void finishRun();
    void appendToLog (const juce::String& text);
    bool showFormulaCheck (const BatchSettings& settings);
    juce::Result writeRunLog (juce::File& logFile);
    void setControlsEnabled (bool enabled);
    juce::String folderSignature() const;
    void rescanIfFolderChanged();
    void followNewestBackup();
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
    juce::OwnedArray<OperationFields> operationFields; // one set a choice of "Do what:", in its order
    std::unique_ptr<juce::Label> formulaErrorLabel;    // what is wrong with the formula, as it is typed
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

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuillmereContentComponent)
};
