#pragma once

#include "AlertPresenter.h"

/** Shows each alert as a modal message box and waits for "OK". */
class ModalAlertPresenter : public AlertPresenter
{
public:
    void showAlert (Icon icon, const juce::String& title, const juce::String& message) override;
};
