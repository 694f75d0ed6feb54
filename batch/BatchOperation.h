#pragma once

#include "BatchSettings.h"
#include "FileAnalysis.h"
#include "FileRewrite.h"

#include <atomic>
#include <memory>
#include <utility>
#include <string_view>

class FormulaEngine;

/**
    One kind of batch run: how it is refused, how it describes itself in the
    task description, which files it affects and how it rewrites one file.
    The batch run does the rest (backup, loop, log) the same way for each.
*/
class BatchOperation
{
public:
    /** Why a run would not start, as the warning alert says it; empty when it would. */
    struct Refusal
    {
        juce::String title, message;
        bool isRefused() const { return title.isNotEmpty(); }
    };

    /** Thrown by rewrite() when the run cannot go on: this file and the rest
        stay as they are. reason ends the file's log line after "failed: ". */
    struct StopRun
    {
        juce::String reason, alertMessage;
    };

    explicit BatchOperation (BatchSettings settingsToUse)
        : settings (std::move (settingsToUse)) {}
    virtual ~BatchOperation() = default;

    /** The operation the settings name, or null for a text naming none.
        formulaEngine is needed for "convert value" and must outlive it. */
    static std::unique_ptr<BatchOperation> create (const BatchSettings& settings, FormulaEngine* formulaEngine);

    /** Checked before anything is written; may prepare the run (parse the formula). */
    virtual Refusal refusal() = 0;

    /** What a run of the operation (null: none chosen) refuses: its own
        refusal, or an empty list of files. Prepares it as refusal() does. */
    static Refusal checkBeforeRun (BatchOperation* operation);

    /** The formula engine whose variables the operation changes, if any. */
    virtual FormulaEngine* formulaEngineInUse() const { return nullptr; }

    /** The operation's own lines at the head of the task description. */
    virtual juce::String describeTask() const = 0;

    /** The files the run backs up and rewrites, in order. */
    virtual juce::Array<juce::File> affectedFiles() const { return settings.files; }

    /** What the file's bytes become. May throw StopRun. */
    virtual FileRewrite rewrite (const juce::File& file, std::string_view original) = 0;

    /** The part of rewrite() that depends only on the bytes, or null when the
        operation has none. A run may call it ahead, on another thread, while
        earlier files are rewritten: it must not touch what rewrite() changes.
        Once stop is set, it may end early with a result nobody uses. */
    virtual std::unique_ptr<FileAnalysis> analyse (std::string_view /*original*/, const std::atomic<bool>& /*stop*/) const
    {
        return nullptr;
    }

    /** rewrite() given what analyse() found in the same bytes. */
    virtual FileRewrite rewriteAnalysed (const juce::File& file, std::string_view original, const FileAnalysis& /*analysis*/)
    {
        return rewrite (file, original);
    }

    /** Whether analyse() does enough work to be worth doing ahead. */
    virtual bool analysesFiles() const { return false; }

    /** rewriteAnalysed() when there is an analysis, else rewrite(). */
    FileRewrite rewriteWith (const juce::File& file, std::string_view original, const FileAnalysis* analysis)
    {
        return analysis != nullptr ? rewriteAnalysed (file, original, *analysis) : rewrite (file, original);
    }

    /** A flag that, once set, should stop long work inside rewrite(). */
    virtual void setCancelFlag (const std::atomic<bool>*) {}

    /** How each file's log line starts. */
    virtual juce::String fileLinePrefix() const { return "processing file: "; }

    /** Whether an affected file that does not exist is created (with its
        folders) rather than skipped. */
    virtual bool createsMissingFiles() const { return false; }

    /** The title and message of the alert that ends a completed run. */
    virtual std::pair<juce::String, juce::String> finishedAlert (const juce::File& backup) const
    {
        return { "Batch processing finished", "old files were backep up in " + backup.getFullPathName() };
    }

    const BatchSettings& getSettings() const { return settings; }

protected:
    BatchSettings settings;
};
