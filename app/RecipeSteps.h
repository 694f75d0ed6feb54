#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "RecipeStep.h"

/**
    The steps of the recipe "apply recipe" runs: the file they were loaded
    from or saved to, one line a step, and buttons to remove the chosen step
    or move it up or down. "Add as step" adds to them; Preview, Do it! and
    "Save Recipe…" take them while "Do what:" reads "apply recipe". It also
    opens the recipe files' dialogs.
*/
class RecipeSteps : public juce::Component,
                    private juce::ListBoxModel
{
public:
    RecipeSteps();

    const std::vector<RecipeStep>& getSteps() const { return steps; }
    bool isEmpty() const { return steps.empty(); }

    /** The steps of a recipe file, or of none (an empty file). */
    void setSteps (std::vector<RecipeStep> newSteps, const juce::File& file);
    void add (RecipeStep step);

    /** The recipe was saved there: its name shows. */
    void savedAs (const juce::File& file);

    /** Removes the chosen step, or moves it by one place (-1 up, +1 down). */
    void removeChosen();
    void moveChosen (int by);

    /** Called when the steps change. */
    std::function<void()> onChange;

    /** The dialogs choosing a recipe file; chosen is not called when the dialog is dismissed. */
    void chooseFileToLoad (const juce::File& folder, std::function<void (const juce::File&)> chosen);
    void chooseFileToSave (const juce::File& folder, std::function<void (const juce::File&)> chosen);

    juce::ListBox& getList() { return list; }
    juce::Label& getFileName() { return fileName; }

    int preferredHeight() const { return rowHeight * (1 + visibleRows); }
    void resized() override;

    static constexpr int rowHeight = 20, visibleRows = 4;

private:
    int getNumRows() override { return (int) steps.size(); }
    void paintListBoxItem (int row, juce::Graphics&, int width, int height, bool selected) override;
    void selectedRowsChanged (int) override { updateButtons(); }

    void changed (int rowToSelect);
    void updateButtons();
    void launch (std::unique_ptr<juce::FileChooser> dialog, int dialogFlags, std::function<void (const juce::File&)> chosen);

    std::vector<RecipeStep> steps;
    juce::Label caption { "recipeLabel", "Recipe:" };
    juce::Label fileName { "recipeFileName" };
    juce::ListBox list { "recipeSteps", this };
    juce::TextButton removeButton { "Remove" }, upButton { "Up" }, downButton { "Down" };
    std::unique_ptr<juce::FileChooser> dialog; // kept while it is open
};
