#include "ModalAlertPresenter.h"

#include <juce_gui_basics/juce_gui_basics.h>

void ModalAlertPresenter::showAlert (Icon icon, const juce::String& title, const juce::String& message)
{
    const auto iconType = icon == Icon::warning ? juce::MessageBoxIconType::WarningIcon
                                                : juce::MessageBoxIconType::InfoIcon;
    // Modal to the window, but without a nested event loop: alerts come from
    // the panel's timer when a run ends, and a loop run inside a timer
    // callback does not reliably get the input the alert needs.
    juce::AlertWindow::showMessageBoxAsync (iconType, title, message, "OK");
}
