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

    // "Quillmere FOLDER" (and a file manager's "open with") starts in that folder.
    for (const auto& argument : juce::StringArray::fromTokens (commandLine, true))
        if (const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argument.unquoted()); folder.isDirectory())
            window->openFolder (folder);
}

void Quillmere::shutdown()
{
    window = nullptr;
    // The look dies with the application object: no widget may still point at it.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
