#include "QuillmereContentComponent.h"

#include "AttributeConverter.h"
#include "BackupArchive.h"
#include "BatchAlerts.h"
#include "BatchOperationFactory.h"
#include "BatchJob.h"
#include "BatchPreview.h"
#include "BatchRun.h"
#include "BatchTexts.h"
#include "LogFile.h"
#include "ModalAlertPresenter.h"
#include "TaskDescription.h"

QuillmereContentComponent::QuillmereContentComponent (const juce::String& name)
    : juce::Component (name),
      alerts (std::make_unique<ModalAlertPresenter>())
{
    wildcardPattern = "*.xml";
    searchRecursively = false;
    rescan();

    // Folders need a pattern of their own in this framework generation, or the browser shows none.
    xmlFileFilter = std::make_unique<juce::WildcardFileFilter> ("*.xml", "*", "XML Files");
    fileBrowser = std::make_unique<juce::FileBrowserComponent> (juce::FileBrowserComponent::openMode
                                                                    | juce::FileBrowserComponent::canSelectDirectories
                                                                    | juce::FileBrowserComponent::filenameBoxIsReadOnly,
                                                                getApplicationDirectory(), xmlFileFilter.get(), nullptr);
    fileBrowser->addListener (this);
    addAndMakeVisible (*fileBrowser);

    doWhatLabel = makeCaption ("doWhatLabel", "Do what:", true);
    doWhatComboBox = makeChoice ("doWhatComboBox", OperationKindTable::labels());
    doWhereLabel = makeCaption ("doWhereLabel", "where:", true);
    doWhereComboBox = makeChoice ("doWhereComboBox", { BatchTexts::folderScope, BatchTexts::recursiveScope });
    replaceWhatLabel = makeCaption ("replaceWhatLabel", "Replace what:", true);
    replaceWhatValue = makeValue ("replaceWhatLabel", "Blah", true);
    replaceWithLabel = makeCaption ("replaceWithLabel", "Replace with:", true);
    replaceWithValue = makeValue ("replaceWithLabel", "Blub", true);
    attributeToConvertLabel = makeCaption ("attributeToConvertLabel", "Attribute:", false);
    attributeValue = makeValue ("attributeToConvertLabel", "SomeAttribute", false);
    conversionFormulaLabel = makeCaption ("conversionFormulaLabel", "Formula:", false);
    formulaValue = makeValue ("conversionFormulaLabel", "y = x;", false);
    backupLabel = makeCaption ("backupLabel", "Backup:", false);
    backupValue = makeValue ("backupLabel", BackupArchive::newestIn (juce::File (getCurrentDirectoryPath())).getFileName(), false);
    toDoLabel = makeCaption ("toDoLabel", "To do:", true);
    toDoDisplay = makeDisplay ("toDoDisplay");
    previewButton = makeButton ("Preview");
    doItButton = makeButton ("Do it!");
    progressBar = std::make_unique<juce::ProgressBar> (progressValue);
    addChildComponent (*progressBar);
    doneLabel = makeCaption ("doneLabel", "Done:", true);
    doneDisplay = makeDisplay ("doneDisplay");
    saveLogButton = makeButton ("Save Log");

    setSize (800, 600);
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

std::unique_ptr<juce::Label> QuillmereContentComponent::makeValue (const juce::String& name, const juce::String& text, bool visible)
{
    auto label = makeCaption (name, text, visible);
    label->setColour (juce::Label::backgroundColourId, juce::Colours::white);
    label->setColour (juce::Label::outlineColourId, juce::Colours::black);
    label->setColour (juce::Label::textColourId, juce::Colours::black);
    label->setEditable (true, true, false);
    label->addListener (this);
    return label;
}

std::unique_ptr<juce::ComboBox> QuillmereContentComponent::makeChoice (const juce::String& name, const juce::StringArray& items)
{
    auto comboBox = std::make_unique<juce::ComboBox> (name);
    comboBox->setEditableText (false);
    comboBox->addListener (this);
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

std::unique_ptr<juce::TextButton> QuillmereContentComponent::makeButton (const juce::String& text)
{
    auto button = std::make_unique<juce::TextButton> (text);
    button->addListener (this);
    addAndMakeVisible (*button);
    return button;
}

void QuillmereContentComponent::setAlertPresenter (std::unique_ptr<AlertPresenter> presenter)
{
    jassert (presenter != nullptr);
    alerts = std::move (presenter);
}

//==============================================================================
void QuillmereContentComponent::layoutControls (int x, int y, int width, int height)
{
    setBounds (x, y, width, height);
    const int W = getWidth(), H = getHeight();

    fileBrowser->setBounds (x, 0, W / 3, H);
    const int L = fileBrowser->getRight();
    const int T = fileBrowser->getY();

    const int A = T + 32;
    doWhatLabel->setBounds (L, A, 64, 20);
    doWhatComboBox->setBounds (doWhatLabel->getRight(), A, 120, 20);
    doWhereLabel->setBounds (doWhatComboBox->getRight() + 8, A, 48, 20);
    doWhereComboBox->setBounds (doWhereLabel->getRight(), A, 200, 20);

    const auto placeRow = [W, L] (juce::Label& caption, int captionWidth, juce::Label& value, int rowY) {
        caption.setBounds (L, rowY, captionWidth, 20);
        value.setBounds (caption.getRight(), rowY, W - caption.getRight() - 4, 20);
    };

    const int B = A + 32;
    placeRow (*replaceWhatLabel, 96, *replaceWhatValue, B);
    placeRow (*attributeToConvertLabel, 72, *attributeValue, B);
    placeRow (*backupLabel, 72, *backupValue, B);

    const int C = B + 24;
    placeRow (*replaceWithLabel, 96, *replaceWithValue, C);
    placeRow (*conversionFormulaLabel, 72, *formulaValue, C);

    const int D = C + 32;
    toDoLabel->setBounds (L, D, 96, 20);
    toDoDisplay->setBounds (L, D + 20, W - L - 4, (H - D) / 2 - 40);

    doItButton->setBounds (toDoDisplay->getRight() - 84, toDoDisplay->getBottom() + 4, 80, 24);
    previewButton->setBounds (doItButton->getX() - 88, doItButton->getY(), 80, 24);
    progressBar->setBounds (L, doItButton->getY(), previewButton->getX() - 8 - L, doItButton->getHeight());
    const int E = doItButton->getBottom();

    doneLabel->setBounds (L, E, 96, 20);
    doneDisplay->setBounds (L, E + 20, W - L - 4, H - E - 56);

    saveLogButton->setBounds (doneDisplay->getRight() - 88, doneDisplay->getBottom() + 4, 80, 24);
}

BatchSettings QuillmereContentComponent::currentSettings()
{
    BatchSettings settings;
    settings.operation = OperationKindTable::named (doWhatComboBox->getText());
    settings.replace = { replaceWhatValue->getText(), replaceWithValue->getText() };
    settings.convert = { attributeValue->getText(), formulaValue->getText() };
    // The folder the run will work on, which is what the browser shows except
    // where its selection has gone stale.
    settings.directoryPath = getCurrentDirectoryPath();
    settings.recursive = doWhereComboBox->getText() == BatchTexts::recursiveScope;
    for (const auto* file : files)
        settings.files.add (*file);
    if (backupValue->getText().isNotEmpty())
        settings.restore.archive = juce::File (getCurrentDirectoryPath()).getChildFile (backupValue->getText());
    return settings;
}

void QuillmereContentComponent::updateToDoText()
{
    const auto settings = currentSettings();
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    toDoDisplay->setText (buildTaskDescription (settings, operation.get()), false);
}

void QuillmereContentComponent::runBatch()
{
    if (isRunning())
        return;

    // What can be refused is refused at once, here, before a thread starts.
    const auto settings = currentSettings();
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    BatchOutcome refused;
    refused.title = "Nothing to do";
    refused.message = "No operation is chosen.";
    if (operation != nullptr)
    {
        const auto refusal = operation->prepare();
        refused.title = refusal.title;
        refused.message = refusal.message;
    }
    if (refused.title.isNotEmpty())
    {
        doneDisplay->clear();
        BatchAlerts::show (*alerts, refused);
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
        reporter.logAppended (BatchPreview::windowText (previews, summary));
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
    doneDisplay->clear();
    progressValue = 0.0;
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
    progressValue = job->getProgress();

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

    // The run may have changed the folder's contents: list and describe anew.
    rescan();
    followNewestBackup();
    updateToDoText();
    lastFolderSignature = folderSignature();

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
    for (juce::Component* control : { (juce::Component*) fileBrowser.get(), (juce::Component*) doWhatComboBox.get(),
                                      (juce::Component*) replaceWhatValue.get(), (juce::Component*) replaceWithValue.get(),
                                      (juce::Component*) attributeValue.get(), (juce::Component*) formulaValue.get(),
                                      (juce::Component*) backupValue.get(), (juce::Component*) saveLogButton.get(),
                                      (juce::Component*) previewButton.get() })
        control->setEnabled (enabled);
    doWhereComboBox->setEnabled (enabled && doWhatComboBox->getText() != OperationKindTable::labelOf (OperationKind::restore));
}

void QuillmereContentComponent::timerCallback()
{
    if (job != nullptr)
        return pumpRun();

    // Idle: about once a second, see whether the folder's contents changed.
    if (++idleTicks >= 10)
    {
        idleTicks = 0;
        rescanIfFolderChanged();
    }
}

juce::String QuillmereContentComponent::folderSignature() const
{
    // A folder's modification time changes when a file is added, removed or
    // renamed in it; with subfolders, each of theirs counts too.
    const juce::File folder (currentDirectory);
    juce::String signature = folder.getFullPathName() + ":" + juce::String (folder.getLastModificationTime().toMilliseconds());
    if (searchRecursively)
        for (const auto& sub : folder.findChildFiles (juce::File::findDirectories, true, "*", juce::File::FollowSymlinks::no))
            signature << ";" << sub.getLastModificationTime().toMilliseconds();
    return signature;
}

void QuillmereContentComponent::rescanIfFolderChanged()
{
    const auto signature = folderSignature();
    if (signature == lastFolderSignature)
        return;

    lastFolderSignature = signature;
    rescan();
    followNewestBackup();
    updateToDoText();
}

void QuillmereContentComponent::folderChanged (const juce::File& folder)
{
    if (folder.getFullPathName() != currentDirectory)
    {
        // The log of another folder's run must not be saved beside this one's backups.
        doneDisplay->clear();
        backupChosenByUser = false;
    }
    currentDirectory = folder.getFullPathName();
    rescan();
    followNewestBackup();
    lastFolderSignature = folderSignature();
}

void QuillmereContentComponent::followNewestBackup()
{
    // The newest backup, until the user names another one.
    if (! backupChosenByUser)
        backupValue->setText (BackupArchive::newestIn (juce::File (currentDirectory)).getFileName(), juce::dontSendNotification);
}

bool QuillmereContentComponent::checkFormula()
{
    return formulaEngine.setFormula (AttributeConverter::formulaBytes (formulaValue->getText()));
}

void QuillmereContentComponent::saveLog()
{
    if (doneDisplay->isEmpty())
    {
        alerts->showAlert (AlertPresenter::Icon::warning, "Nothing to save",
                           "There is no log to save yet: the log is saved after a run.");
        return;
    }

    juce::File logFile = LogFile::freeLogFile (getCurrentDirectoryPath());
    const auto result = LogFile::write (juce::File (getCurrentDirectoryPath()), currentSettings().files,
                                        toDoDisplay->getText(), doneDisplay->getText(), logFile);

    if (result.wasOk())
        alerts->showAlert (AlertPresenter::Icon::information, "Log File saved",
                           "Logfile saved in " + logFile.getFullPathName());
    else
        alerts->showAlert (AlertPresenter::Icon::warning, "Log File not saved",
                           "The logfile could not be saved in " + logFile.getFullPathName() + ": "
                               + result.getErrorMessage());
}

//==============================================================================
void QuillmereContentComponent::buttonClicked (juce::Button* button)
{
    if (button == doItButton.get())
        isRunning() ? cancelRun() : runBatch();
    else if (button == previewButton.get())
        runPreview();
    else if (button == saveLogButton.get())
        saveLog();
}

void QuillmereContentComponent::showOperationFields (const juce::String& operation)
{
    for (auto* widget : { replaceWhatLabel.get(), replaceWhatValue.get(), replaceWithLabel.get(), replaceWithValue.get() })
        widget->setVisible (operation == OperationKindTable::labelOf (OperationKind::replace));
    for (auto* widget : { attributeToConvertLabel.get(), attributeValue.get(), conversionFormulaLabel.get(), formulaValue.get() })
        widget->setVisible (operation == OperationKindTable::labelOf (OperationKind::convert));
    for (auto* widget : { backupLabel.get(), backupValue.get() })
        widget->setVisible (operation == OperationKindTable::labelOf (OperationKind::restore));

    // A restore puts every file back where the archive says: the scope has no say.
    doWhereComboBox->setEnabled (operation != OperationKindTable::labelOf (OperationKind::restore));
}

void QuillmereContentComponent::comboBoxChanged (juce::ComboBox* comboBox)
{
    if (comboBox == doWhatComboBox.get())
    {
        showOperationFields (comboBox->getText());
    }

    if (comboBox == doWhereComboBox.get())
    {
        const auto scope = comboBox->getText();
        if (scope == BatchTexts::folderScope || scope == BatchTexts::recursiveScope)
        {
            searchRecursively = scope == BatchTexts::recursiveScope;
            rescan();
        }
    }

    updateToDoText();
}

void QuillmereContentComponent::labelTextChanged (juce::Label* label)
{
    if (label == backupValue.get())
        backupChosenByUser = backupValue->getText().isNotEmpty();
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

void QuillmereContentComponent::fileClicked (const juce::File& file, const juce::MouseEvent&)
{
    fileDoubleClicked (file);
}

void QuillmereContentComponent::fileDoubleClicked (const juce::File&)
{
}
