#include "Quillmere.h"

#include "QuillmereWindow.h"
#include "UnicodeCharacterClasses.h"

Quillmere::Quillmere() = default;
Quillmere::~Quillmere() = default;

void Quillmere::initialise (const juce::String&)
{
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
