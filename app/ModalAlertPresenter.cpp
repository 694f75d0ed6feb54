#include "ModalAlertPresenter.h"

#include <juce_gui_basics/juce_gui_basics.h>

void ModalAlertPresenter::showAlert (Icon icon, const juce::String& title, const juce::String& message)
{
    const auto iconType = icon == Icon::warning ? juce::MessageBoxIconType::WarningIcon
                                                : juce::MessageBoxIconType::InfoIcon;
    juce::AlertWindow::showMessageBox (iconType, title, message, "OK");
}
