#include "QuillmereContentComponent.h"

#include "AttributeConverter.h"
#include "BatchAlerts.h"
#include "BatchRun.h"
#include "BatchTexts.h"
#include "LogFile.h"
#include "ModalAlertPresenter.h"
#include "TaskDescription.h"

/** Shows the run's log in doneDisplay, with the caret at the end. The window
    is not repainted while a run holds the message thread, except inside an
    alert box, so the display is brought up to date before every alert and when
    the run ends: the user sees what a display updated after each line would
    show, and a long run does not re-lay out a growing text once per file. */
class QuillmereContentComponent::LogDisplay : public BatchReporter,
                                              public AlertPresenter
{
public:
    LogDisplay (juce::TextEditor& editorToUse, AlertPresenter& alertsToUse)
        : editor (editorToUse), alerts (alertsToUse)
    {
        show();
    }

    ~LogDisplay() override { show(); }

    void logAppended (const juce::String& text) override { log += text.toStdString(); }

    void showAlert (Icon icon, const juce::String& title, const juce::String& message) override
    {
        show();
        alerts.showAlert (icon, title, message);
    }

private:
    void show()
    {
        editor.setText (juce::String::fromUTF8 (log.data(), (int) log.size()), false);
        editor.moveCaretToEnd();
    }

    juce::TextEditor& editor;
    AlertPresenter& alerts;
    std::string log;
};

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
    doWhatComboBox = makeChoice ("doWhatComboBox", BatchTexts::replaceOperation, BatchTexts::convertOperation);
    doWhereLabel = makeCaption ("doWhereLabel", "where:", true);
    doWhereComboBox = makeChoice ("doWhereComboBox", BatchTexts::folderScope, BatchTexts::recursiveScope);
    replaceWhatLabel = makeCaption ("replaceWhatLabel", "Replace what:", true);
    replaceWhatValue = makeValue ("replaceWhatLabel", "Blah", true);
    replaceWithLabel = makeCaption ("replaceWithLabel", "Replace with:", true);
    replaceWithValue = makeValue ("replaceWithLabel", "Blub", true);
    attributeToConvertLabel = makeCaption ("attributeToConvertLabel", "Attribute:", false);
    attributeValue = makeValue ("attributeToConvertLabel", "SomeAttribute", false);
    conversionFormulaLabel = makeCaption ("conversionFormulaLabel", "Formula:", false);
    formulaValue = makeValue ("conversionFormulaLabel", "y = x;", false);
    toDoLabel = makeCaption ("toDoLabel", "To do:", true);
    toDoDisplay = makeDisplay ("toDoDisplay");
    doItButton = makeButton ("Do it!");
    doneLabel = makeCaption ("doneLabel", "Done:", true);
    doneDisplay = makeDisplay ("doneDisplay");
    saveLogButton = makeButton ("Save Log");

    setSize (800, 600);
}

QuillmereContentComponent::~QuillmereContentComponent()
{
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

std::unique_ptr<juce::ComboBox> QuillmereContentComponent::makeChoice (const juce::String& name, const juce::String& first, const juce::String& second)
{
    auto comboBox = std::make_unique<juce::ComboBox> (name);
    comboBox->setEditableText (false);
    comboBox->addListener (this);
    addAndMakeVisible (*comboBox);
    comboBox->addItem (first, 1);
    comboBox->addItem (second, 2);
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

    const auto placeRow = [W, L] (juce::Label& caption, int captionWidth, juce::Label& value, int rowY)
    {
        caption.setBounds (L, rowY, captionWidth, 20);
        value.setBounds (caption.getRight(), rowY, W - caption.getRight() - 4, 20);
    };

    const int B = A + 32;
    placeRow (*replaceWhatLabel, 96, *replaceWhatValue, B);
    placeRow (*attributeToConvertLabel, 72, *attributeValue, B);

    const int C = B + 24;
    placeRow (*replaceWithLabel, 96, *replaceWithValue, C);
    placeRow (*conversionFormulaLabel, 72, *formulaValue, C);

    const int D = C + 32;
    toDoLabel->setBounds (L, D, 96, 20);
    toDoDisplay->setBounds (L, D + 20, W - L - 4, (H - D) / 2 - 40);

    doItButton->setBounds (toDoDisplay->getRight() - 84, toDoDisplay->getBottom() + 4, 80, 24);
    const int E = doItButton->getBottom();

    doneLabel->setBounds (L, E, 96, 20);
    doneDisplay->setBounds (L, E + 20, W - L - 4, H - E - 56);

    saveLogButton->setBounds (doneDisplay->getRight() - 88, doneDisplay->getBottom() + 4, 80, 24);
}

BatchSettings QuillmereContentComponent::currentSettings()
{
    BatchSettings settings;
    settings.operation = doWhatComboBox->getText();
    settings.replaceWhat = replaceWhatValue->getText();
    settings.replaceWith = replaceWithValue->getText();
    settings.attribute = attributeValue->getText();
    settings.formula = formulaValue->getText();
    // The folder the run will work on, which is what the browser shows except
    // where its selection has gone stale.
    settings.directoryPath = getCurrentDirectoryPath();
    settings.recursive = doWhereComboBox->getText() == BatchTexts::recursiveScope;
    for (const auto* file : files)
        settings.files.add (*file);
    return settings;
}

void QuillmereContentComponent::updateToDoText()
{
    const auto settings = currentSettings();
    const auto operation = BatchOperation::create (settings, &formulaEngine);
    toDoDisplay->setText (buildTaskDescription (settings, operation.get()), false);
}

void QuillmereContentComponent::runBatch()
{
    LogDisplay logDisplay (*doneDisplay, *alerts);
    const auto outcome = BatchRun (currentSettings(), &formulaEngine, logDisplay).run();
    BatchAlerts::show (logDisplay, outcome);
}

bool QuillmereContentComponent::checkFormula()
{
    return formulaEngine.setFormula (AttributeConverter::formulaBytes (formulaValue->getText()));
}

void QuillmereContentComponent::saveLog()
{
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
        runBatch();
    else if (button == saveLogButton.get())
        saveLog();
}

void QuillmereContentComponent::showOperationFields (bool replaceFields)
{
    for (auto* widget : { replaceWhatLabel.get(), replaceWhatValue.get(), replaceWithLabel.get(), replaceWithValue.get() })
        widget->setVisible (replaceFields);
    for (auto* widget : { attributeToConvertLabel.get(), attributeValue.get(), conversionFormulaLabel.get(), formulaValue.get() })
        widget->setVisible (! replaceFields);
}

void QuillmereContentComponent::comboBoxChanged (juce::ComboBox* comboBox)
{
    if (comboBox == doWhatComboBox.get())
    {
        if (comboBox->getText() == BatchTexts::replaceOperation)
            showOperationFields (true);
        else if (comboBox->getText() == BatchTexts::convertOperation)
            showOperationFields (false);
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

void QuillmereContentComponent::labelTextChanged (juce::Label*)
{
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
    {
        currentDirectory = candidate.getFullPathName();
        rescan();
    }

    updateToDoText();
}

void QuillmereContentComponent::browserRootChanged (const juce::File& newRoot)
{
    // Going up or picking a folder from the path box changes the listed folder
    // without changing the selection: without this the run would still work on
    // the folder left behind while the browser shows another.
    if (newRoot.isDirectory())
    {
        currentDirectory = newRoot.getFullPathName();
        rescan();
    }

    updateToDoText();
}

void QuillmereContentComponent::fileClicked (const juce::File& file, const juce::MouseEvent&)
{
    fileDoubleClicked (file);
}

void QuillmereContentComponent::fileDoubleClicked (const juce::File&)
{
}
