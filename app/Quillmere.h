#pragma once

#include "QuillmereLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

class QuillmereWindow;

/** The application: installs the light look and opens the one main window. */
class Quillmere : public juce::JUCEApplication
{
public:
    Quillmere();
    ~Quillmere() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;

    const juce::String getApplicationName() override { return "Quillmere"; }
    const juce::String getApplicationVersion() override { return JUCE_APPLICATION_VERSION_STRING; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}
    void unhandledException (const std::exception*, const juce::String&, int) override {}

private:
    std::unique_ptr<QuillmereWindow> window;
    QuillmereLookAndFeel lookAndFeel;
};
