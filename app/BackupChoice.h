#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "TypableChoice.h"

/**
    "Backup:": the folder's backups, newest first, each with its time, its
    number of files and the operation it was made before; another archive's
    name may be typed. It stays on the newest until the user names another.
*/
class BackupChoice : public juce::Component
{
public:
    BackupChoice (const juce::String& caption, const juce::String& name);

    /** Lists folder's backups and selects the newest, or the one the user chose. */
    void follow (const juce::File& folder);

    /** Forgets what the user chose: the newest is chosen again. */
    void forgetChoice() { chosenByUser = false; }

    /** Keeps what is chosen now, as if the user had chosen it. */
    void keepChoice() { chosenByUser = chosenName().isNotEmpty(); }

    /** The backup chosen in the list, or the name typed. */
    juce::String chosenName() const;

    juce::ComboBox& getChoice() { return choice; }
    std::function<void()> onChange;

    void resized() override;
    void visibilityChanged() override;

private:
    void list (const juce::File& folder, const juce::String& toSelect);

    juce::Label caption;
    TypableChoice choice;
    std::vector<juce::File> listed; // what the items stand for, by item id - 1
    bool chosenByUser = false;
};
