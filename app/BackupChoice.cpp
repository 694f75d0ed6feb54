#include "BackupChoice.h"

#include "BackupArchive.h"
#include "BackupComment.h"

BackupChoice::BackupChoice (const juce::String& captionText, const juce::String& name)
    : caption (name, captionText),
      choice (name)
{
    caption.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (caption);
    addAndMakeVisible (choice);
    choice.onChange = [this] {
        chosenByUser = chosenName().isNotEmpty();
        if (onChange)
            onChange();
    };
}

void BackupChoice::resized()
{
    constexpr int captionWidth = 72;
    caption.setBounds (0, 0, captionWidth, getHeight());
    choice.setBounds (captionWidth, 0, getWidth() - captionWidth, getHeight());
}

void BackupChoice::visibilityChanged()
{
    // Hidden with its operation, the choice says so itself.
    caption.setVisible (isVisible());
    choice.setVisible (isVisible());
}

void BackupChoice::follow (const juce::File& folder)
{
    list (folder, chosenByUser ? chosenName() : juce::String());
}

void BackupChoice::list (const juce::File& folder, const juce::String& toSelect)
{
    const auto backups = BackupArchive::listIn (folder);
    listed.clear();
    choice.clear (juce::dontSendNotification);
    for (const auto& backup : backups)
    {
        listed.push_back (backup.file);
        choice.addItem (BackupComment::choiceText (backup), (int) listed.size());
    }

    if (toSelect.isEmpty())
        return choice.setSelectedId (listed.empty() ? 0 : 1, juce::dontSendNotification);

    // A name typed that no listed archive has stays as it was typed.
    const auto found = std::find_if (listed.begin(), listed.end(), [&] (const juce::File& file) { return file.getFileName() == toSelect; });
    if (found != listed.end())
        choice.setSelectedId ((int) (found - listed.begin()) + 1, juce::dontSendNotification);
    else
        choice.setText (toSelect, juce::dontSendNotification);
}

juce::String BackupChoice::chosenName() const
{
    const auto id = choice.getSelectedId();
    if (id > 0 && id <= (int) listed.size())
        return listed[(size_t) id - 1].getFileName();
    return choice.getText().trim();
}
