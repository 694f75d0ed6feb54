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
}

void Quillmere::shutdown()
{
    window = nullptr;
    // The look dies with the application object: no widget may still point at it.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
