#include "ModalAlertPresenter.h"

#include <algorithm>

ModalAlertPresenter::ModalAlertPresenter()
    : self (std::make_shared<ModalAlertPresenter*> (this))
{
}

ModalAlertPresenter::~ModalAlertPresenter()
{
    *self = nullptr;
    waiting.clear();
    if (shown != nullptr)
        delete shown.getComponent();
}

void ModalAlertPresenter::showAlert (Icon icon, const juce::String& title, const juce::String& message)
{
    const auto iconType = icon == Icon::warning ? juce::MessageBoxIconType::WarningIcon : juce::MessageBoxIconType::InfoIcon;
    waiting.push_back ({ iconType, title, message, "OK", {}, {} });
    showNext();
}

void ModalAlertPresenter::ask (const juce::String& title, const juce::String& question, const juce::String& yes,
                               const juce::String& no, std::function<void (bool)> answered)
{
    waiting.push_back ({ juce::MessageBoxIconType::QuestionIcon, title, question, yes, no, std::move (answered) });
    showNext();
}

void ModalAlertPresenter::withdrawQuestion()
{
    waiting.erase (std::remove_if (waiting.begin(), waiting.end(), [] (const Box& box) { return box.answered != nullptr; }),
                   waiting.end());
    if (shown != nullptr && shownIsQuestion)
    {
        shownAnswered = nullptr;
        shown->exitModalState (0);
    }
}

void ModalAlertPresenter::showNext()
{
    if (shown != nullptr || waiting.empty())
        return;

    auto box = std::move (waiting.front());
    waiting.pop_front();
    auto* window = new juce::AlertWindow (box.title, box.message, box.icon);
    if (box.answered != nullptr)
    {
        window->addButton (box.yes, 1, juce::KeyPress (juce::KeyPress::returnKey));
        window->addButton (box.no, 0, juce::KeyPress (juce::KeyPress::escapeKey));
    }
    else
    {
        window->addButton (box.yes, 1, juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress (juce::KeyPress::escapeKey));
    }
    shown = window;
    shownIsQuestion = box.answered != nullptr;
    shownAnswered = std::move (box.answered);

    const std::weak_ptr<ModalAlertPresenter*> presenter = self;
    window->enterModalState (true, juce::ModalCallbackFunction::create ([presenter] (int result) {
                                 if (const auto alive = presenter.lock(); alive != nullptr && *alive != nullptr)
                                     (*alive)->closed (result);
                             }),
                             true);
}

void ModalAlertPresenter::closed (int result)
{
    shown = nullptr;
    // Without a compositor the windows under a closed box may keep its
    // picture (and a withdrawn question its frame) until they next paint.
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        desktop.getComponent (i)->repaint();

    const auto answered = std::move (shownAnswered);
    shownAnswered = nullptr;
    if (answered)
        answered (result == 1);
    showNext();
    if (shown == nullptr && onAllClosed)
        onAllClosed();
}
