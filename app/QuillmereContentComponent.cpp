#include "QuillmereContentComponent.h"

#include "FileState.h"

#include "AttributeConverter.h"
#include "BatchAlerts.h"
#include "BatchOperationFactory.h"
#include "FormulaErrorText.h"
#include "BatchJob.h"
#include "BatchPreview.h"
#include "BatchRun.h"
#include "BatchTexts.h"
#include "LogFile.h"
#include "ModalAlertPresenter.h"
#include "OperationRegistry.h"
#include "RecipeOperation.h"
#include "TaskDescription.h"

#include <expr/Exception.h>

juce::File QuillmereContentComponent::startFolder()
{
    // A copy of the program put beside the files it is for starts among them.
    // An installed program's folder holds no such files (and may be shared by
    // every user, or not writable): the user's documents are a better start.
    const auto programFolder = getApplicationDirectory();
    if (programFolder.hasWriteAccess() && programFolder.getNumberOfChildFiles (juce::File::findFiles, FilePattern::defaultText) > 0)
        return programFolder;
    const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    return documents.isDirectory() ? documents : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
}

QuillmereContentComponent::QuillmereContentComponent (const juce::String& name)
    : juce::Component (name),
      alerts (std::make_unique<ModalAlertPresenter>())
{
    fileList.currentDirectory = startFolder().getFullPathName();
    fileList.wildcardPattern = FilePattern::defaultText;
    fileList.searchRecursively = false;
    fileList.rescan();

    fileBrowser = std::make_unique<juce::FileBrowserComponent> (juce::FileBrowserComponent::openMode
                                                                    | juce::FileBrowserComponent::canSelectDirectories
                                                                    | juce::FileBrowserComponent::filenameBoxIsReadOnly,
                                                                juce::File (fileList.currentDirectory), &browserFilter, nullptr);
    fileBrowser->addListener (this);
    addAndMakeVisible (*fileBrowser);

    filesLabel = makeCaption ("filesLabel", "Files:", true);
    filesValue = makeCaption ("filesLabel", FilePattern::defaultText, true);
    filesValue->setColour (juce::Label::backgroundColourId, juce::Colours::white);
    filesValue->setColour (juce::Label::outlineColourId, juce::Colours::black);
    filesValue->setColour (juce::Label::textColourId, juce::Colours::black);
    filesValue->setEditable (true, true, false);
    filesValue->onTextChange = [this] { patternChanged(); };
    // A listing can take a while: the list follows typing once per tick at most.
    filesValue->onEditorShow = [this] {
        if (auto* editor = filesValue->getCurrentTextEditor())
            editor->onTextChange = [this] { patternEdited = true; };
    };
    doWhatLabel = makeCaption ("doWhatLabel", "Do what:", true);
    doWhatComboBox = makeChoice ("doWhatComboBox", OperationRegistry::windowLabels());
    doWhatComboBox->onChange = [this] { operationChosen(); };
    doWhereLabel = makeCaption ("doWhereLabel", "where:", true);
    doWhereComboBox = makeChoice ("doWhereComboBox", { BatchTexts::folderScope, BatchTexts::recursiveScope });
    doWhereComboBox->onChange = [this] { scopeChosen(); };
    for (const auto* operation : OperationRegistry::all())
    {
        if (! operation->chosenInWindow)
            continue;
        auto* fields = operationFields.add (std::make_unique<OperationFields> (*operation));
        fields->onChange = [this] { updateToDoText(); };
        addChildComponent (*fields);
    }
    fieldsOf (OperationRegistry::windowLabels()[0]).setVisible (true);
    formulaErrorLabel = makeCaption ("formulaErrorLabel", {}, false);
    formulaErrorLabel->setColour (juce::Label::textColourId, juce::Colours::darkred);
    toDoLabel = makeCaption ("toDoLabel", "To do:", true);
    toDoDisplay = makeDisplay ("toDoDisplay");
    previewButton = makeButton ("Preview", [this] { runPreview(); });
    doItButton = makeButton ("Do it!", [this] { isRunning() ? cancelRun() : runBatch(); });
    progressBar = std::make_unique<RunProgressBar>();
    addChildComponent (*progressBar);
    doneLabel = makeCaption ("doneLabel", "Done:", true);
    doneDisplay = makeDisplay ("doneDisplay");
    doneDisplay->onEscapeKey = [this] {
        if (isRunning())
            cancelRun();
    };
    saveLogButton = makeButton ("Save Log", [this] { saveLog(); });
    loadRecipeButton = makeButton (juce::String::fromUTF8 ("Load Recipe\xe2\x80\xa6"), [this] { chooseRecipeToLoad(); });
    saveRecipeButton = makeButton (juce::String::fromUTF8 ("Save Recipe\xe2\x80\xa6"), [this] { chooseRecipeToSave(); });

    setSize (800, 600);
    followNewestBackup();
    lastFolderSignature = folderSignature();
    startTimer (100);
}

QuillmereContentComponent::~QuillmereContentComponent()
{
    stopTimer();
    // Closing during a run cancels it and waits for the file at hand.
    job.reset();
    fileBrowser->removeListener (this);
}

std::unique_ptr<juce::Label> QuillmereContentComponent::makeCaption (const juce::String& name, const juce::String& text, bool visible)
{
    auto label = std::make_unique<juce::Label> (name, text);
    label->setJustificationType (juce::Justification::centredLeft);
    addChildComponent (*label);
    label->setVisible (visible);
    return label;
}

std::unique_ptr<juce::ComboBox> QuillmereContentComponent::makeChoice (const juce::String& name, const juce::StringArray& items)
{
    auto comboBox = std::make_unique<juce::ComboBox> (name);
    comboBox->setEditableText (false);
    addAndMakeVisible (*comboBox);
    comboBox->addItemList (items, 1);
    comboBox->setSelectedId (1, juce::sendNotificationAsync);
    return comboBox;
}

std::unique_ptr<juce::TextEditor> QuillmereContentComponent::makeDisplay (const juce::String& name)
{
    auto editor = std::make_unique<juce::TextEditor> (name);
    editor->setMultiLine (true, true);
    editor->setReadOnly (true);
    addAndMakeVisible (*editor);
    return editor;
}

std::unique_ptr<juce::TextButton> QuillmereContentComponent::makeButton (const juce::String& text, std::function<void()> onClick)
{
    auto button = std::make_unique<juce::TextButton> (text);
    button->onClick = std::move (onClick);
    addAndMakeVisible (*button);
    return button;
}

void QuillmereContentComponent::setAlertPresenter (std::unique_ptr<AlertPresenter> presenter)
{
    jassert (presenter != nullptr);
    alerts = std::move (presenter);
}

std::vector<std::pair<juce::Label*, juce::Label*>> QuillmereContentComponent::captionedFields() const
{
    std::vector<std::pair<juce::Label*, juce::Label*>> pairs;
    for (const auto* fields : operationFields)
        for (const auto& pair : fields->captionedFields())
            pairs.push_back (pair);
    pairs.emplace_back (filesLabel.get(), filesValue.get());
    return pairs;
}

OperationFields& QuillmereContentComponent::fieldsOf (const juce::String& label) const
{
    for (auto* fields : operationFields)
        if (fields->getDeclaration().label == label)
            return *fields;
    jassertfalse;
    return *operationFields.getFirst();
}

OperationFields* QuillmereContentComponent::shownFields() const
{
    for (auto* fields : operationFields)
        if (fields->isVisible())
            return fields;
    return nullptr;
}

//==============================================================================
void QuillmereContentComponent::resized()
{
    const int width = getWidth(), height = getHeight();
    constexpr int rowHeight = 20, buttonWidth = 80, buttonHeight = 24, rightMargin = 4;
    constexpr int patternY = 6, choicesY = 32, rowSpacing = 32, fieldSpacing = 24;
    constexpr int wideCaption = 96;

    // The browser takes the left third; everything else lines up at its right edge.
    fileBrowser->setBounds (0, 0, width / 3, height);
    const int columnX = fileBrowser->getRight();
    const int columnWidth = width - columnX - rightMargin;

    filesLabel->setBounds (columnX, patternY, 64, rowHeight);
    filesValue->setBounds (filesLabel->getRight(), patternY, width - filesLabel->getRight() - rightMargin, rowHeight);

    // The two choices share the row and grow with the window, two fifths and three.
    constexpr int whatCaption = 64, whereCaption = 48, choiceGap = 8;
    doWhatLabel->setBounds (columnX, choicesY, whatCaption, rowHeight);
    const int choicesWidth = columnWidth - whatCaption - choiceGap - whereCaption;
    doWhatComboBox->setBounds (doWhatLabel->getRight(), choicesY, std::max (120, choicesWidth * 2 / 5), rowHeight);
    doWhereLabel->setBounds (doWhatComboBox->getRight() + choiceGap, choicesY, whereCaption, rowHeight);
    doWhereComboBox->setBounds (doWhereLabel->getRight(), choicesY, columnX + columnWidth - doWhereLabel->getRight(), rowHeight);

    // Each operation's fields share the rows below the choices; only one set is visible.
    const int firstFieldY = choicesY + rowSpacing;
    for (auto* fields : operationFields)
        fields->setBounds (columnX, firstFieldY, columnWidth, fields->preferredHeight());
    const int secondFieldY = firstFieldY + fieldSpacing;

    // The description takes half of what is left, the log the rest.
    const int descriptionY = secondFieldY + rowSpacing;
    toDoLabel->setBounds (columnX, descriptionY, wideCaption, rowHeight);
    formulaErrorLabel->setBounds (toDoLabel->getRight(), descriptionY, columnWidth - wideCaption, rowHeight);
    toDoDisplay->setBounds (columnX, descriptionY + rowHeight, columnWidth, (height - descriptionY) / 2 - 40);

    const int buttonsY = toDoDisplay->getBottom() + 4;
    doItButton->setBounds (toDoDisplay->getRight() - buttonWidth - 4, buttonsY, buttonWidth, buttonHeight);
    previewButton->setBounds (doItButton->getX() - buttonWidth - 8, buttonsY, buttonWidth, buttonHeight);
    progressBar->setBounds (columnX, buttonsY, previewButton->getX() - 8 - columnX, buttonHeight);

    const int logY = doItButton->getBottom();
    doneLabel->setBounds (columnX, logY, wideCaption, rowHeight);
    doneDisplay->setBounds (columnX, logY + rowHeight, columnWidth, height - logY - 56);
    saveLogButton->setBounds (doneDisplay->getRight() - buttonWidth - 8, doneDisplay->getBottom() + 4, buttonWidth, buttonHeight);
    constexpr int recipeButtonWidth = 110;
    loadRecipeButton->setBounds (columnX, saveLogButton->getY(), recipeButtonWidth, buttonHeight);
    saveRecipeButton->setBounds (loadRecipeButton->getRight() + 8, saveLogButton->getY(), recipeButtonWidth, buttonHeight);
}

BatchSettings QuillmereContentComponent::currentSettings()
{
    BatchSettings settings;
    settings.operation = OperationRegistry::named (doWhatComboBox->getText());
    // A field being edited counts with what it holds now.
    if (const auto* fields = shownFields())
        settings.parameters = fields->values (juce::File (fileList.getCurrentDirectoryPath()));
    // The folder the run will work on, which is what the browser shows except
    // where its selection has gone stale.
    settings.directoryPath = fileList.getCurrentDirectoryPath();
    settings.recursive = doWhereComboBox->getText() == BatchTexts::recursiveScope;
    settings.filePattern = fileList.wildcardPattern;
    for (const auto* file : fileList.files)
        settings.files.add (*file);
    settings.unlisted = fileList.unlisted;
    settings.steps = recipeSteps;
    return settings;
}

void QuillmereContentComponent::updateToDoText()
{
    const auto settings = currentSettings();
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    toDoDisplay->setText (buildTaskDescription (settings, operation.get()), false);

    // Neither a run nor a preview starts from a formula that does not parse.
    const bool runnable = showFormulaCheck (settings);
    if (! isRunning())
    {
        doItButton->setEnabled (runnable);
        previewButton->setEnabled (runnable);
    }
}

bool QuillmereContentComponent::showFormulaCheck (const BatchSettings& settings)
{
    // The operation's formula, if it has one, parses or the run cannot start.
    juce::String formula;
    bool hasFormula = false;
    if (settings.operation != nullptr)
        for (const auto& parameter : settings.operation->parameters)
            if (parameter.kind == ParameterDeclaration::Kind::formula)
            {
                hasFormula = true;
                formula = settings.parameters.text (parameter.key);
            }
    const bool valid = ! hasFormula || formulaChecker.setFormula (AttributeConverter::formulaBytes (formula));
    auto* fields = shownFields();
    auto* formulaField = fields != nullptr ? fields->formulaField() : nullptr;
    juce::String problem;
    if (! valid)
        problem = formulaChecker.lastError() != nullptr ? juce::String (describeFormulaError (*formulaChecker.lastError()))
                                                        : juce::String ("The formula cannot be evaluated.");
    formulaErrorLabel->setText (problem, juce::dontSendNotification);
    formulaErrorLabel->setVisible (! valid);
    for (auto* each : operationFields)
        if (const auto* error = formulaChecker.lastError(); each == fields && ! valid && error != nullptr)
            each->getFormulaMarks().mark (*formulaField, error->Start(), error->End());
        else
            each->getFormulaMarks().clear();
    return valid;
}

void QuillmereContentComponent::runBatch()
{
    if (isRunning())
        return;

    // What can be refused is refused at once, here, before a thread starts.
    const auto settings = currentSettings();
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    if (const auto refusal = BatchOperation::prepareForRun (operation.get()); refusal.isRefused())
    {
        doneDisplay->clear();
        alerts->showAlert (AlertPresenter::Icon::warning, refusal.title, refusal.message);
        return;
    }

    // The engine belongs to the run until it ends: the panel does not touch
    // it meanwhile (the controls are disabled).
    job = std::make_unique<BatchJob> ([this, settings] (BatchReporter& reporter, const std::atomic<bool>& cancel) {
        BatchRun run (settings, &formulaEngine, reporter);
        run.setCancelFlag (cancel);
        return run.run();
    });
    startRun (false);
}

void QuillmereContentComponent::runPreview()
{
    if (isRunning())
        return;

    job = std::make_unique<BatchJob> ([this, settings = currentSettings()] (BatchReporter& reporter, const std::atomic<bool>& cancel) {
        BatchOutcome outcome;
        const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
        const auto refusal = BatchOperation::prepareForRun (operation.get());
        if (refusal.isRefused())
        {
            outcome.title = refusal.title;
            outcome.message = refusal.message;
            return outcome;
        }

        BatchPreview::Options options;
        options.changedLines = true;
        BatchPreview preview (*operation, options);
        preview.setCancelFlag (cancel);
        preview.setProgress ([&reporter] (int done, int total) { reporter.fileDone (done, total); });

        std::vector<BatchPreview::FilePreview> previews;
        const auto summary = preview.run ([&previews] (const BatchPreview::FilePreview& file) { previews.push_back (file); });
        reporter.logAppended ("Preview: nothing was written\n\n" + BatchPreview::windowText (previews, summary));
        if (summary.cancelled)
            reporter.logAppended ("\nPreview cancelled. \n");

        outcome.status = summary.cancelled ? BatchOutcome::Status::cancelled : BatchOutcome::Status::completed;
        return outcome;
    });
    startRun (true);
}

void QuillmereContentComponent::startRun (bool preview)
{
    jobIsPreview = preview;
    // The log is saved with the description of the run that wrote it, whatever changes later.
    runDescription = toDoDisplay->getText();
    runFiles = currentSettings().files;
    runFolder = juce::File (fileList.getCurrentDirectoryPath());
    doneDisplay->clear();
    doneDisplay->grabKeyboardFocus();
    progressBar->setProgress (0.0, {});
    progressBar->setVisible (true);
    doItButton->setButtonText ("Cancel");
    setControlsEnabled (false);
    job->start();
}

void QuillmereContentComponent::pumpRun()
{
    // At most one update of the display a tick, never one per file.
    if (const auto text = job->takeNewLog(); text.isNotEmpty())
    {
        doneDisplay->moveCaretToEnd();
        doneDisplay->insertTextAtCaret (text);
    }
    progressBar->setProgress (job->getProgress(), job->getProgressText());

    if (job->isFinished())
        finishRun();
}

void QuillmereContentComponent::finishRun()
{
    const auto finished = std::move (job);
    if (const auto text = finished->takeNewLog(); text.isNotEmpty())
    {
        doneDisplay->moveCaretToEnd();
        doneDisplay->insertTextAtCaret (text);
    }
    doneDisplay->moveCaretToEnd();

    progressBar->setVisible (false);
    doItButton->setButtonText ("Do it!");
    setControlsEnabled (true);

    // After a restore, "Backup:" stays on the archive restored, not on the
    // backup the restore itself made: Do it! again must not undo the undo.
    if (auto* fields = shownFields(); ! jobIsPreview && fields != nullptr && fields->backupChoice() != nullptr)
        fields->backupChoice()->keepChoice();

    // The run may have changed the folder's contents: list and describe anew.
    fileList.rescan();
    followNewestBackup();
    updateToDoText();
    lastFolderSignature = folderSignature();

    // Enter after the alert must not start the run again.
    doneDisplay->grabKeyboardFocus();

    // A preview ends in the log it wrote; only a refusal needs an alert.
    const auto& outcome = finished->getOutcome();
    if (! jobIsPreview || outcome.status == BatchOutcome::Status::refused)
        BatchAlerts::show (*alerts, outcome);
}

void QuillmereContentComponent::waitForRun()
{
    while (job != nullptr)
    {
        while (! job->isFinished())
            juce::Thread::sleep (5);
        pumpRun();
    }
}

void QuillmereContentComponent::cancelRun()
{
    if (job != nullptr)
        job->cancel();
}

void QuillmereContentComponent::setControlsEnabled (bool enabled)
{
    for (juce::Component* control : { (juce::Component*) fileBrowser.get(), (juce::Component*) filesValue.get(), (juce::Component*) doWhatComboBox.get(),
                                      (juce::Component*) saveLogButton.get(), (juce::Component*) previewButton.get(),
                                      (juce::Component*) loadRecipeButton.get(), (juce::Component*) saveRecipeButton.get() })
        control->setEnabled (enabled);
    for (auto* fields : operationFields)
        fields->setEnabled (enabled);
    const auto* operation = OperationRegistry::named (doWhatComboBox->getText());
    doWhereComboBox->setEnabled (enabled && (operation == nullptr || operation->listsFolder()));
}

void QuillmereContentComponent::timerCallback()
{
    if (job != nullptr)
        return pumpRun();

    if (patternEdited)
    {
        patternEdited = false;
        patternChanged();
    }

    // Idle: about once a second, see whether the folder's contents changed.
    if (++idleTicks >= 10)
    {
        idleTicks = 0;
        rescanIfFolderChanged();
    }
}

namespace
{
    /** A folder's modification time to the nanosecond the file system keeps:
        the framework's whole seconds would miss files added within the second
        of a rescan, and the list would stay short until the next change. */
    juce::String modificationStamp (const juce::File& folder)
    {
        const auto state = FileState::of (folder, true);
        if (! state.exists())
            return "-";
        return juce::String (state.modifiedSeconds) + "." + juce::String (state.modifiedNanoseconds);
    }
}

juce::String QuillmereContentComponent::folderSignature() const
{
    // A folder's modification time changes when a file is added, removed or
    // renamed in it; with subfolders, each of theirs counts too.
    const juce::File folder (fileList.currentDirectory);
    juce::String signature = folder.getFullPathName() + ":" + modificationStamp (folder);
    if (fileList.searchRecursively)
        for (const auto& sub : folder.findChildFiles (juce::File::findDirectories, true, "*", juce::File::FollowSymlinks::no))
            signature << ";" << modificationStamp (sub);
    return signature;
}

void QuillmereContentComponent::rescanIfFolderChanged()
{
    const auto signature = folderSignature();
    if (signature == lastFolderSignature)
        return;

    lastFolderSignature = signature;
    fileList.rescan();
    followNewestBackup();
    updateToDoText();
}

void QuillmereContentComponent::folderChanged (const juce::File& folder)
{
    if (folder.getFullPathName() != fileList.currentDirectory)
    {
        // The log of another folder's run must not be saved beside this one's backups.
        doneDisplay->clear();
        for (auto* fields : operationFields)
            if (fields->backupChoice() != nullptr)
                fields->backupChoice()->forgetChoice();
    }
    fileList.currentDirectory = folder.getFullPathName();
    fileList.rescan();
    if (onFolderChanged)
        onFolderChanged (folder);
    followNewestBackup();
    lastFolderSignature = folderSignature();
}

void QuillmereContentComponent::followNewestBackup()
{
    for (auto* fields : operationFields)
        if (auto* backups = fields->backupChoice())
            backups->follow (juce::File (fileList.currentDirectory));
}

juce::String QuillmereContentComponent::chosenBackupName() const
{
    for (auto* fields : operationFields)
        if (auto* backups = fields->backupChoice())
            return backups->chosenName();
    return {};
}

bool QuillmereContentComponent::checkFormula()
{
    auto* fields = shownFields();
    auto* formulaField = fields != nullptr ? fields->formulaField() : nullptr;
    return formulaField != nullptr && formulaEngine.setFormula (AttributeConverter::formulaBytes (formulaField->getText()));
}

juce::Result QuillmereContentComponent::writeRunLog (juce::File& logFile)
{
    logFile = LogFile::freeLogFile (runFolder.getFullPathName());
    return LogFile::write (runFolder, runFiles, runDescription, doneDisplay->getText(), logFile);
}

juce::File QuillmereContentComponent::cancelRunAndSaveLog()
{
    if (job == nullptr)
        return {};

    job->cancel();
    while (! job->isFinished())
        juce::Thread::sleep (5);
    const auto finished = std::move (job);
    doneDisplay->moveCaretToEnd();
    doneDisplay->insertTextAtCaret (finished->takeNewLog());

    juce::File logFile;
    return writeRunLog (logFile).wasOk() ? logFile : juce::File();
}

bool QuillmereContentComponent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey && isRunning())
    {
        cancelRun();
        return true;
    }
    return false;
}

bool QuillmereContentComponent::isInterestedInFileDrag (const juce::StringArray& files)
{
    return ! isRunning() && ! files.isEmpty();
}

void QuillmereContentComponent::filesDropped (const juce::StringArray& files, int, int)
{
    if (isRunning() || files.isEmpty())
        return;
    const juce::File dropped (files[0]);
    showFolder (dropped.isDirectory() ? dropped : dropped.getParentDirectory());
}

void QuillmereContentComponent::showFolder (const juce::File& folder)
{
    if (folder.isDirectory())
        fileBrowser->setRoot (folder);
}

void QuillmereContentComponent::saveLog()
{
    if (doneDisplay->isEmpty())
    {
        alerts->showAlert (AlertPresenter::Icon::warning, "Nothing to save",
                           "There is no log to save yet: the log is saved after a run.");
        return;
    }

    juce::File logFile;
    const auto result = writeRunLog (logFile);

    if (result.wasOk())
        alerts->showAlert (AlertPresenter::Icon::information, "Log File saved",
                           "Logfile saved in " + logFile.getFullPathName());
    else
        alerts->showAlert (AlertPresenter::Icon::warning, "Log File not saved",
                           "The logfile could not be saved in " + logFile.getFullPathName() + ": "
                               + result.getErrorMessage());
}

//==============================================================================
void QuillmereContentComponent::showOperationFields (const OperationDeclaration* operation)
{
    for (auto* fields : operationFields)
        fields->setVisible (&fields->getDeclaration() == operation);

    // A restore puts every file back where the archive says: the scope has no say.
    doWhereComboBox->setEnabled (operation == nullptr || operation->listsFolder());
}

void QuillmereContentComponent::operationChosen()
{
    // An operation chosen takes the place of a recipe loaded.
    recipeSteps.clear();
    showOperationFields (OperationRegistry::named (doWhatComboBox->getText()));
    updateToDoText();
}

void QuillmereContentComponent::patternChanged()
{
    fileList.wildcardPattern = filesValue->getText (true);
    fileList.rescan();
    browserFilter.setPattern (fileList.wildcardPattern);
    fileBrowser->refresh();
    updateToDoText();
}

void QuillmereContentComponent::scopeChosen()
{
    const auto scope = doWhereComboBox->getText();
    if (scope == BatchTexts::folderScope || scope == BatchTexts::recursiveScope)
    {
        fileList.searchRecursively = scope == BatchTexts::recursiveScope;
        fileList.rescan();
    }
    updateToDoText();
}

void QuillmereContentComponent::selectionChanged()
{
    // The browser keeps reporting a folder chosen before the user went up out
    // of it; only a choice inside the listed folder counts.
    const auto current = fileBrowser->getSelectedFile (0);
    const auto root = fileBrowser->getRoot();
    const auto candidate = current.isDirectory() && current.getParentDirectory() == root ? current : root;

    if (candidate.isDirectory())
        folderChanged (candidate);

    updateToDoText();
}

void QuillmereContentComponent::browserRootChanged (const juce::File& newRoot)
{
    // Going up or picking a folder from the path box changes the listed folder
    // without changing the selection: without this the run would still work on
    // the folder left behind while the browser shows another.
    if (newRoot.isDirectory())
        folderChanged (newRoot);

    updateToDoText();
}

//==============================================================================
juce::Result QuillmereContentComponent::loadRecipe (const juce::File& file)
{
    Recipe recipe;
    if (auto read = Recipe::load (file, recipe); read.failed())
        return read;

    recipeSteps = recipe.steps;
    if (! recipe.includes.isEmpty() || ! recipe.excludes.isEmpty())
    {
        filesValue->setText (FilePattern::combine (recipe.includes, recipe.excludes), juce::dontSendNotification);
        patternChanged();
    }
    if (recipe.recursive)
        doWhereComboBox->setText (BatchTexts::recursiveScope, juce::sendNotificationSync);

    // Not one of the choices: choosing one of them clears the recipe again.
    doWhatComboBox->setText (RecipeOperation::declaration().label, juce::dontSendNotification);
    showOperationFields (&RecipeOperation::declaration());
    updateToDoText();
    return juce::Result::ok();
}

juce::Result QuillmereContentComponent::saveRecipe (const juce::File& file)
{
    const auto settings = currentSettings();
    Recipe recipe;
    if (settings.operation == &RecipeOperation::declaration())
        recipe.steps = settings.steps;
    else if (settings.operation != nullptr && settings.operation->recipeWord.isNotEmpty())
        recipe.steps.push_back ({ settings.operation, settings.parameters, 0 });
    else
        return juce::Result::fail ("A restore is no recipe step: choose \"replace string\" or \"convert value\", or load a recipe.");

    if (const FilePattern pattern (settings.filePattern); ! pattern.isDefault())
        recipe.includes.add (pattern.getText());
    recipe.recursive = settings.recursive;

    // Written whole under a temporary name, then renamed: never a half-written recipe.
    if (! file.replaceWithText (recipe.toText(), false, false, "\n"))
        return juce::Result::fail ("The recipe could not be written to " + file.getFullPathName() + ".");
    return juce::Result::ok();
}

void QuillmereContentComponent::chooseRecipeToLoad()
{
    recipeChooser = std::make_unique<juce::FileChooser> ("Load Recipe", juce::File (fileList.currentDirectory), "*.recipe;*.txt");
    recipeChooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                                [this] (const juce::FileChooser& chooser) {
                                    const auto file = chooser.getResult();
                                    if (file == juce::File())
                                        return;
                                    if (const auto loaded = loadRecipe (file); loaded.failed())
                                        alerts->showAlert (AlertPresenter::Icon::warning, "Recipe not loaded",
                                                           file.getFullPathName() + ":\n" + loaded.getErrorMessage());
                                });
}

void QuillmereContentComponent::chooseRecipeToSave()
{
    recipeChooser = std::make_unique<juce::FileChooser> ("Save Recipe", juce::File (fileList.currentDirectory).getChildFile ("Quillmere.recipe"),
                                                         "*.recipe;*.txt");
    recipeChooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                    | juce::FileBrowserComponent::warnAboutOverwriting,
                                [this] (const juce::FileChooser& chooser) {
                                    const auto file = chooser.getResult();
                                    if (file == juce::File())
                                        return;
                                    if (const auto saved = saveRecipe (file); saved.failed())
                                        alerts->showAlert (AlertPresenter::Icon::warning, "Recipe not saved", saved.getErrorMessage());
                                    else
                                        alerts->showAlert (AlertPresenter::Icon::information, "Recipe saved", "Recipe saved in " + file.getFullPathName());
                                });
}
