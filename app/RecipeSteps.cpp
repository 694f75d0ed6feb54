#include "RecipeSteps.h"

namespace
{
    const juce::String unsavedName = "(not saved yet)";
    const juce::String recipeFiles = "*.recipe;*.txt";
}

RecipeSteps::RecipeSteps()
    : juce::Component ("recipeSteps")
{
    caption.setJustificationType (juce::Justification::centredLeft);
    fileName.setJustificationType (juce::Justification::centredLeft);
    fileName.setText (unsavedName, juce::dontSendNotification);
    list.setRowHeight (rowHeight);
    list.setOutlineThickness (1);
    list.setColour (juce::ListBox::outlineColourId, juce::Colours::grey);
    removeButton.onClick = [this] { removeChosen(); };
    upButton.onClick = [this] { moveChosen (-1); };
    downButton.onClick = [this] { moveChosen (1); };
    for (juce::Component* child : { (juce::Component*) &caption, (juce::Component*) &fileName, (juce::Component*) &list,
                                    (juce::Component*) &removeButton, (juce::Component*) &upButton, (juce::Component*) &downButton })
        addAndMakeVisible (*child);
    updateButtons();
}

void RecipeSteps::setSteps (std::vector<RecipeStep> newSteps, const juce::File& file)
{
    steps = std::move (newSteps);
    fileName.setText (file == juce::File() ? unsavedName : file.getFullPathName(), juce::dontSendNotification);
    changed (steps.empty() ? -1 : 0);
}

void RecipeSteps::add (RecipeStep step)
{
    steps.push_back (std::move (step));
    changed ((int) steps.size() - 1);
}

void RecipeSteps::savedAs (const juce::File& file)
{
    fileName.setText (file.getFullPathName(), juce::dontSendNotification);
}

void RecipeSteps::removeChosen()
{
    const int row = list.getSelectedRow();
    if (row < 0 || row >= (int) steps.size())
        return;
    steps.erase (steps.begin() + row);
    changed (std::min (row, (int) steps.size() - 1));
}

void RecipeSteps::moveChosen (int by)
{
    const int row = list.getSelectedRow(), target = row + by;
    if (row < 0 || target < 0 || target >= (int) steps.size())
        return;
    std::swap (steps[(size_t) row], steps[(size_t) target]);
    changed (target);
}

void RecipeSteps::changed (int rowToSelect)
{
    list.updateContent();
    if (rowToSelect >= 0)
        list.selectRow (rowToSelect);
    else
        list.deselectAllRows();
    list.repaint();
    updateButtons();
    if (onChange)
        onChange();
}

void RecipeSteps::updateButtons()
{
    const int row = list.getSelectedRow();
    removeButton.setEnabled (row >= 0);
    upButton.setEnabled (row > 0);
    downButton.setEnabled (row >= 0 && row + 1 < (int) steps.size());
}

void RecipeSteps::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool selected)
{
    if (row < 0 || row >= (int) steps.size())
        return;
    if (selected)
        g.fillAll (findColour (juce::TextEditor::highlightColourId));
    g.setColour (juce::Colours::black);
    g.setFont ((float) height * 0.7f);
    g.drawText ("step " + juce::String (row + 1) + ": " + steps[(size_t) row].text(), 4, 0, width - 8, height,
                juce::Justification::centredLeft, true);
}

void RecipeSteps::resized()
{
    constexpr int captionWidth = 64, buttonWidth = 64, gap = 8;
    const int width = getWidth();
    caption.setBounds (0, 0, captionWidth, rowHeight);
    fileName.setBounds (captionWidth, 0, width - captionWidth, rowHeight);
    const int listWidth = width - buttonWidth - gap;
    list.setBounds (0, rowHeight, listWidth, rowHeight * visibleRows);
    int y = rowHeight;
    for (auto* button : { &removeButton, &upButton, &downButton })
    {
        button->setBounds (listWidth + gap, y, buttonWidth, rowHeight + 2);
        y += rowHeight + 6;
    }
}

void RecipeSteps::chooseFileToLoad (const juce::File& folder, std::function<void (const juce::File&)> chosen)
{
    launch (std::make_unique<juce::FileChooser> ("Load Recipe", folder, recipeFiles),
            juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles, std::move (chosen));
}

void RecipeSteps::chooseFileToSave (const juce::File& folder, std::function<void (const juce::File&)> chosen)
{
    const auto suggested = fileName.getText() != unsavedName ? juce::File (fileName.getText()) : folder.getChildFile ("Quillmere.recipe");
    launch (std::make_unique<juce::FileChooser> ("Save Recipe", suggested, recipeFiles),
            juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                | juce::FileBrowserComponent::warnAboutOverwriting,
            std::move (chosen));
}

void RecipeSteps::launch (std::unique_ptr<juce::FileChooser> newDialog, int dialogFlags, std::function<void (const juce::File&)> chosen)
{
    dialog = std::move (newDialog);
    dialog->launchAsync (dialogFlags, [this, chosen = std::move (chosen)] (const juce::FileChooser& closed) {
        // The dialog's window may leave its picture on the window under it.
        if (auto* window = getTopLevelComponent())
            window->repaint();
        if (const auto file = closed.getResult(); file != juce::File())
            chosen (file);
    });
}
