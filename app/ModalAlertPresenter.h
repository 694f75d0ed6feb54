#pragma once

#include "AlertPresenter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <memory>

/**
    Shows alerts and questions as modal boxes, one at a time: a box asked
    for while another stands waits until that one is closed, so that no box
    is ever hidden under another and takes the clicks meant for it. The
    boxes do not run a nested event loop: alerts come from the panel's timer
    when a run ends, and a loop run inside a timer callback does not reliably
    get the input the box needs.
*/
class ModalAlertPresenter : public AlertPresenter
{
public:
    ModalAlertPresenter();
    ~ModalAlertPresenter() override;

    void showAlert (Icon icon, const juce::String& title, const juce::String& message) override;
    void ask (const juce::String& title, const juce::String& question, const juce::String& yes, const juce::String& no,
              std::function<void (bool)> answered) override;
    void withdrawQuestion() override;

    /** Called when the last box waiting has been closed: for the keyboard focus. */
    std::function<void()> onAllClosed;

private:
    struct Box
    {
        juce::MessageBoxIconType icon;
        juce::String title, message, yes, no;
        std::function<void (bool)> answered; // empty for an alert
    };

    void showNext();
    void closed (int result);

    std::deque<Box> waiting;
    juce::Component::SafePointer<juce::AlertWindow> shown;
    std::function<void (bool)> shownAnswered;
    bool shownIsQuestion = false;
    std::shared_ptr<ModalAlertPresenter*> self; // boxes closed after the presenter is gone find it empty
};
