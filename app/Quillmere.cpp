#include "Quillmere.h"

#include "QuillmereWindow.h"
#include "UnicodeCharacterClasses.h"

#include <iostream>

Quillmere::Quillmere() = default;
Quillmere::~Quillmere() = default;

void Quillmere::initialise (const juce::String& commandLine)
{
    // Answered before any window exists, so that it works without a display.
    if (juce::StringArray::fromTokens (commandLine, true).contains ("--version"))
    {
        std::cout << getApplicationName() << " " << getApplicationVersion() << std::endl;
        quit();
        return;
    }

    enableUnicodeCharacterClasses();
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    window = std::make_unique<QuillmereWindow>();

    // "Quillmere FOLDER" (and a file manager's "open with") starts in that
    // folder; given a file, as a dropped file does, in the file's folder.
    for (const auto& argument : juce::StringArray::fromTokens (commandLine, true))
    {
        const auto given = juce::File::getCurrentWorkingDirectory().getChildFile (argument.unquoted());
        if (given.isDirectory())
            window->openFolder (given);
        else if (given.existsAsFile())
            window->openFolder (given.getParentDirectory());
    }
}

void Quillmere::shutdown()
{
    window = nullptr;
    // The look dies with the application object: no widget may still point at it.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
