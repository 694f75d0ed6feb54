#pragma once

#include "AlertPresenter.h"
#include "BatchReporter.h"

#include <vector>

/** Keeps every alert instead of showing it. */
class RecordingAlerts : public AlertPresenter
{
public:
    struct Alert
    {
        Icon icon;
        juce::String title, message;
    };

    void showAlert (Icon icon, const juce::String& title, const juce::String& message) override
    {
        alerts.push_back ({ icon, title, message });
    }

    /** Questions stay open until a test answers them or the code withdraws them. */
    void ask (const juce::String&, const juce::String& question, const juce::String&, const juce::String&,
              std::function<void (bool)> answered) override
    {
        openQuestions.push_back ({ question, std::move (answered) });
    }

    void withdrawQuestion() override
    {
        withdrawn += (int) openQuestions.size();
        openQuestions.clear();
    }

    void answer (bool first)
    {
        auto question = std::move (openQuestions.front());
        openQuestions.erase (openQuestions.begin());
        question.second (first);
    }

    juce::StringArray titles() const
    {
        juce::StringArray result;
        for (const auto& alert : alerts)
            result.add (alert.title);
        return result;
    }

    std::vector<Alert> alerts;
    std::vector<std::pair<juce::String, std::function<void (bool)>>> openQuestions;
    int withdrawn = 0;
};

/** Keeps the log pieces as they arrive. */
class RecordingReporter : public BatchReporter
{
public:
    void logAppended (const juce::String& text) override { pieces.add (text); }

    void fileDone (int filesDone, int filesTotal) override { progress.push_back ({ filesDone, filesTotal }); }

    void phaseProgress (Phase phase, int done, int total) override
    {
        if (phase == Phase::backup)
            backupProgress.push_back ({ done, total });
    }

    juce::StringArray pieces;
    std::vector<std::pair<int, int>> backupProgress;
    std::vector<std::pair<int, int>> progress;
};
