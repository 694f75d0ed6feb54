#pragma once

#include <juce_core/juce_core.h>

#include <functional>

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

    /** Asks a question of two answers and calls answered (true) for the
        first. A presenter that cannot ask answers with the second, which
        must be the answer that changes nothing. */
    virtual void ask (const juce::String& /*title*/, const juce::String& /*question*/, const juce::String& /*yes*/,
                      const juce::String& /*no*/, std::function<void (bool)> answered)
    {
        answered (false);
    }

    /** Closes a question still open without answering it: what it asked about is over. */
    virtual void withdrawQuestion() {}
};
