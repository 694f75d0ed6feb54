#pragma once

#include "AlertPresenter.h"
#include "BatchOutcome.h"

/** The alert that ends a run, for the panel and the command-line tool alike. */
namespace BatchAlerts
{
    struct Alert
    {
        AlertPresenter::Icon icon;
        juce::String title, message;
    };

    Alert forOutcome (const BatchOutcome& outcome);

    inline void show (AlertPresenter& alerts, const BatchOutcome& outcome)
    {
        const auto alert = forOutcome (outcome);
        alerts.showAlert (alert.icon, alert.title, alert.message);
    }
}
