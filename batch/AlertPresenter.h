#pragma once

#include <juce_core/juce_core.h>

/** Where the batch run's alerts go: modal boxes in the window, a recorder in
    tests, standard error on the command line. Every alert has one "OK" button. */
class AlertPresenter
{
public:
    enum class Icon
    {
        warning,
        information
    };

    virtual ~AlertPresenter() = default;
    virtual void showAlert (Icon icon, const juce::String& title, const juce::String& message) = 0;
};
