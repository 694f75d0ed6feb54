#include "QuillmereContentComponent.h"

#include "AttributeConverter.h"
#include "BatchAlerts.h"
#include "BatchJob.h"
#include "BatchOperationFactory.h"
#include "ModalAlertPresenter.h"
#include "RecipeOperation.h"
#include "TaskDescription.h"

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
      folderBrowser (startFolder())
{
    auto boxes = std::make_unique<ModalAlertPresenter>();
    boxes->onAllClosed = [this] { takeFocusAfterAlert(); };
    alerts = std::move (boxes);

    fileList.currentDirectory = folderBrowser.getBrowser().getRoot().getFullPathName();
    fileList.wildcardPattern = FilePattern::defaultText;
    fileList.searchRecursively = false;
    fileList.rescan();

    folderBrowser.onFolderChosen = [this] (const juce::File& folder) { folderChosen (folder); };
    addAndMakeVisible (folderBrowser);
    connectChoices();
    operationArea.onChange = [this] { updateToDoText(); };
    operationArea.onStepsChanged = [this] { stepsChanged(); };
    addAndMakeVisible (operationArea);
    connectTaskAndLog();

    setSize (800, 600);
    followNewestBackup();
    rememberFolder();
    startTimer (100);
}

QuillmereContentComponent::~QuillmereContentComponent()
{
    stopTimer();
    // Closing during a run cancels it and waits for the file at hand.
    job.reset();
}

void QuillmereContentComponent::connectChoices()
{
    choices.onOperationChosen = [this] { operationChosen(); };
    choices.onScopeChosen = [this] { scopeChosen(); };
    choices.onPatternChanged = [this] { patternChanged(); };
    // A listing can take a while: the list follows typing once per tick at most.
    choices.onPatternTyped = [this] { patternEdited = true; };
    addAndMakeVisible (choices);
}

void QuillmereContentComponent::connectTaskAndLog()
{
    taskView.onPreview = [this] { runPreview(); };
    taskView.onDoIt = [this] { isRunning() ? cancelRun() : runBatch(); };
    addAndMakeVisible (taskView);
    runLog.onEscape = [this] {
        if (isRunning())
            cancelRun();
    };
    runLog.onSaveLog = [this] { saveLog(); };
    runLog.onLoadRecipe = [this] { chooseRecipeToLoad(); };
    runLog.onSaveRecipe = [this] { chooseRecipeToSave(); };
    taskView.onAddStep = [this] { addStep(); };
    addAndMakeVisible (runLog);
}

void QuillmereContentComponent::setAlertPresenter (std::unique_ptr<AlertPresenter> presenter)
{
    jassert (presenter != nullptr);
    alerts = std::move (presenter);
}

std::vector<std::pair<juce::Label*, juce::Label*>> QuillmereContentComponent::captionedFields()
{
    auto pairs = operationArea.captionedFields();
    pairs.push_back (choices.captionedPattern());
    return pairs;
}

//==============================================================================
void QuillmereContentComponent::resized()
{
    // Smaller than its smallest size (a tiling window manager can force
    // that), the panel keeps the smallest layout and is cut off at the edge.
    const int width = std::max (getWidth(), smallestWidth), height = std::max (getHeight(), smallestHeight);
    constexpr int rightMargin = 4, patternY = 6, rowSpacing = 32, fieldSpacing = 24;

    // The browser takes the left third; everything else lines up at its right edge.
    folderBrowser.setBounds (0, 0, width / 3, height);
    const int columnX = folderBrowser.getRight();
    const int columnWidth = width - columnX - rightMargin;
    choices.setBounds (columnX, patternY, columnWidth, TaskChoices::preferredHeight);

    // The operation's fields below the choices; the recipe's steps take more room.
    const int firstFieldY = patternY + TaskChoices::choicesY + rowSpacing;
    operationArea.setBounds (columnX, firstFieldY, columnWidth, operationArea.preferredHeight());
    // Two rows of fields fit the band; each row more, or the steps, widen it.
    constexpr int twoRows = OperationFields::rowSpacing + OperationFields::rowHeight + FormulaErrorMarks::height;
    const int fieldsHeight = fieldSpacing + rowSpacing + std::max (0, operationArea.preferredHeight() - twoRows);

    // The description takes half of what is left, the log the rest.
    const int descriptionY = firstFieldY + fieldsHeight;
    const int descriptionHeight = (height - descriptionY) / 2 - 40;
    taskView.setBounds (columnX, descriptionY, columnWidth, TaskView::heightAround (descriptionHeight));
    runLog.setBounds (columnX, taskView.getBottom(), columnWidth, height - taskView.getBottom());
}

BatchSettings QuillmereContentComponent::currentSettings()
{
    BatchSettings settings;
    settings.operation = choices.operation();
    // A field being edited counts with what it holds now.
    settings.parameters = operationArea.values (juce::File (fileList.getCurrentDirectoryPath()));
    // The folder the run will work on, which is what the browser shows except
    // where its selection has gone stale.
    settings.directoryPath = fileList.getCurrentDirectoryPath();
    settings.recursive = choices.recursive();
    settings.filePattern = fileList.wildcardPattern;
    for (const auto* file : fileList.files)
        settings.files.add (*file);
    settings.unlisted = fileList.unlisted;
    if (settings.operation == &RecipeOperation::declaration())
        settings.steps = operationArea.getRecipeSteps().getSteps();
    return settings;
}

void QuillmereContentComponent::updateToDoText()
{
    const auto settings = currentSettings();
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    taskView.setDescription (buildTaskDescription (settings, operation.get()));

    // Neither a run nor a preview starts from a formula that does not parse.
    taskView.setRunnable (showFormulaCheck());
    // A restore is no step of a recipe; the steps on screen are one already.
    const auto* chosen = settings.operation;
    taskView.getAddStepButton().setEnabled (chosen != nullptr && chosen->recipeWord.isNotEmpty() && chosen != &RecipeOperation::declaration());
}

bool QuillmereContentComponent::showFormulaCheck()
{
    // The operation's formula, if it has one, parses or the run cannot start.
    const auto problem = operationArea.checkFormula (formulaChecker);
    taskView.showProblem (problem);
    return problem.isEmpty();
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
        runLog.clear();
        alerts->showAlert (AlertPresenter::Icon::warning, refusal.title, refusal.message);
        return;
    }

    // The engine belongs to the run until it ends: the panel does not touch
    // it meanwhile (the controls are disabled).
    job = BatchJob::forRun (settings, formulaEngine);
    startRun (false, settings);
}

void QuillmereContentComponent::runPreview()
{
    if (isRunning())
        return;
    const auto settings = currentSettings();
    job = BatchJob::forPreview (settings, formulaEngine);
    startRun (true, settings);
}

void QuillmereContentComponent::startRun (bool preview, const BatchSettings& settings)
{
    jobIsPreview = preview;
    // The log is saved with the description of the run that wrote it, whatever changes later.
    runLog.startRun (taskView.getDescriptionText(), settings.files, juce::File (settings.directoryPath));
    runLog.takeFocus();
    taskView.setRunning (true);
    setControlsEnabled (false);
    job->start();
}

void QuillmereContentComponent::pumpRun()
{
    // At most one update of the display a tick, never one per file.
    runLog.append (job->takeNewLog());
    taskView.setProgress (job->getProgress(), job->getProgressText());

    if (job->isFinished())
        finishRun();
}

void QuillmereContentComponent::finishRun()
{
    const auto finished = std::move (job);
    runLog.append (finished->takeNewLog());
    taskView.setRunning (false);
    setControlsEnabled (true);

    // After a restore, "Backup:" stays on the archive restored, not on the
    // backup the restore itself made: Do it! again must not undo the undo.
    if (! jobIsPreview)
        operationArea.keepBackupChoice();

    // The run may have changed the folder's contents: list and describe anew.
    fileList.rescan();
    followNewestBackup();
    updateToDoText();
    rememberFolder();

    // Enter after the alert must not start the run again.
    runLog.takeFocus();

    // A question about the run (close during it?) is moot now that it is over:
    // it goes before the run's own alert, and never stands under it.
    alerts->withdrawQuestion();

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

void QuillmereContentComponent::askToClose (std::function<void()> close)
{
    if (! isRunning())
        return close();
    alerts->ask ("Quillmere", "A run is in progress: cancel it and close?", "Cancel the run and close", "Go on with the run",
                 [this, close] (bool cancelAndClose) {
                     if (! cancelAndClose || ! isRunning())
                         return;
                     // The file at hand is finished, never cut; the log goes beside the backup.
                     cancelRunAndSaveLog();
                     close();
                 });
}

void QuillmereContentComponent::takeFocusAfterAlert()
{
    // The box had the keyboard. Without giving it back to the window, the
    // first click into a field only brings the window back, and what is
    // typed then is lost.
    if (auto* window = getTopLevelComponent(); window != nullptr && window->isOnDesktop())
        window->toFront (true);
    runLog.takeFocus();
}

void QuillmereContentComponent::cancelRun()
{
    if (job != nullptr)
        job->cancel();
}

void QuillmereContentComponent::setControlsEnabled (bool enabled)
{
    folderBrowser.setEnabled (enabled);
    choices.setEnabledWhileIdle (enabled);
    runLog.setButtonsEnabled (enabled);
    operationArea.setEnabled (enabled);
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

void QuillmereContentComponent::rememberFolder()
{
    folderWatch.remember (juce::File (fileList.currentDirectory), fileList.searchRecursively);
}

void QuillmereContentComponent::rescanIfFolderChanged()
{
    if (! folderWatch.changed (juce::File (fileList.currentDirectory), fileList.searchRecursively))
        return;

    fileList.rescan();
    followNewestBackup();
    updateToDoText();
}

void QuillmereContentComponent::folderChosen (const juce::File& folder)
{
    if (folder.isDirectory())
        folderChanged (folder);
    updateToDoText();
}

void QuillmereContentComponent::folderChanged (const juce::File& folder)
{
    if (folder.getFullPathName() != fileList.currentDirectory)
    {
        // The log of another folder's run must not be saved beside this one's backups.
        runLog.clear();
        operationArea.forgetBackupChoice();
    }
    fileList.currentDirectory = folder.getFullPathName();
    fileList.rescan();
    if (onFolderChanged)
        onFolderChanged (folder);
    followNewestBackup();
    rememberFolder();
}

void QuillmereContentComponent::followNewestBackup()
{
    operationArea.followBackups (juce::File (fileList.currentDirectory));
}

bool QuillmereContentComponent::checkFormula()
{
    auto* fields = operationArea.shownFields();
    auto* formulaField = fields != nullptr ? fields->formulaField() : nullptr;
    return formulaField != nullptr && formulaEngine.setFormula (AttributeConverter::formulaBytes (formulaField->getText()));
}

juce::File QuillmereContentComponent::cancelRunAndSaveLog()
{
    if (job == nullptr)
        return {};

    job->cancel();
    while (! job->isFinished())
        juce::Thread::sleep (5);
    const auto finished = std::move (job);
    runLog.append (finished->takeNewLog());

    juce::File logFile;
    return runLog.save (logFile).wasOk() ? logFile : juce::File();
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
    folderBrowser.showFolder (folder);
}

void QuillmereContentComponent::saveLog()
{
    if (runLog.isEmpty())
    {
        alerts->showAlert (AlertPresenter::Icon::warning, "Nothing to save",
                           "There is no log to save yet: the log is saved after a run.");
        return;
    }

    juce::File logFile;
    const auto result = runLog.save (logFile);

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
    operationArea.show (operation);
    resized(); // the steps take more room than the fields

    // A restore puts every file back where the archive says: the scope has no say.
    choices.enableScopeFor (operation, true);
}

void QuillmereContentComponent::operationChosen()
{
    // The recipe's steps stay for "apply recipe" while another operation is filled in.
    showOperationFields (choices.operation());
    updateToDoText();
}

void QuillmereContentComponent::patternChanged()
{
    fileList.wildcardPattern = choices.pattern();
    fileList.rescan();
    folderBrowser.setPattern (fileList.wildcardPattern);
    updateToDoText();
}

void QuillmereContentComponent::scopeChosen()
{
    fileList.searchRecursively = choices.recursive();
    fileList.rescan();
    updateToDoText();
}

//==============================================================================
juce::Result QuillmereContentComponent::loadRecipe (const juce::File& file)
{
    Recipe loaded;
    if (auto read = Recipe::load (file, loaded); read.failed())
        return read;

    operationArea.getRecipeSteps().setSteps (loaded.steps, file);
    if (! loaded.includes.isEmpty() || ! loaded.excludes.isEmpty())
    {
        choices.setPattern (FilePattern::combine (loaded.includes, loaded.excludes));
        patternChanged();
    }
    if (loaded.recursive)
        choices.chooseRecursive();
    showRecipe();
    return juce::Result::ok();
}

juce::Result QuillmereContentComponent::saveRecipe (const juce::File& file)
{
    const auto settings = currentSettings();
    Recipe toSave;
    auto saved = Recipe::fromSettings (settings, toSave);
    if (saved.wasOk())
        saved = toSave.save (file);
    if (saved.wasOk() && settings.operation == &RecipeOperation::declaration())
        operationArea.getRecipeSteps().savedAs (file);
    return saved;
}

void QuillmereContentComponent::addStep()
{
    const auto settings = currentSettings();
    if (settings.operation == &RecipeOperation::declaration())
        return; // the steps are on screen already
    Recipe one;
    if (const auto made = Recipe::fromSettings (settings, one); made.failed())
        return alerts->showAlert (AlertPresenter::Icon::warning, "Not a recipe step", made.getErrorMessage());
    operationArea.getRecipeSteps().add (one.steps.front());
    showRecipe();
}

void QuillmereContentComponent::showRecipe()
{
    choices.chooseRecipe();
    showOperationFields (&RecipeOperation::declaration());
    updateToDoText();
}

void QuillmereContentComponent::stepsChanged()
{
    if (! operationArea.getRecipeSteps().isEmpty())
        return updateToDoText();

    // No steps left: nothing to apply, the first operation comes back.
    choices.dropRecipe();
    updateToDoText();
}

void QuillmereContentComponent::chooseRecipeToLoad()
{
    operationArea.getRecipeSteps().chooseFileToLoad (juce::File (fileList.currentDirectory), [this] (const juce::File& file) {
        if (const auto loaded = loadRecipe (file); loaded.failed())
            alerts->showAlert (AlertPresenter::Icon::warning, "Recipe not loaded", file.getFullPathName() + ":\n" + loaded.getErrorMessage());
    });
}

void QuillmereContentComponent::chooseRecipeToSave()
{
    operationArea.getRecipeSteps().chooseFileToSave (juce::File (fileList.currentDirectory), [this] (const juce::File& file) {
        if (const auto saved = saveRecipe (file); saved.failed())
            alerts->showAlert (AlertPresenter::Icon::warning, "Recipe not saved", saved.getErrorMessage());
        else
            alerts->showAlert (AlertPresenter::Icon::information, "Recipe saved", "Recipe saved in " + file.getFullPathName());
    });
}
