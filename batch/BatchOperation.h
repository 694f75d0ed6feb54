#pragma once

#include "BatchSettings.h"
#include "FileAnalysis.h"
#include "FileRewrite.h"
#include "FileState.h"

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
        juce::String reason;
        juce::String failure;              // "The formula failed on FILE: REASON."
        juce::String doneWord = "changed"; // what the files before it were

        /** The alert's text: the failure, and what became of the files, which
            depends on whether any file before this one was changed. */
        juce::String alertMessage (bool filesBeforeChanged) const
        {
            return failure + "\nThis file and the files after it are unchanged"
                 + (filesBeforeChanged ? "; the files before it were " + doneWord + ". " : juce::String (". "));
        }
    };

    explicit BatchOperation (BatchSettings settingsToUse)
        : settings (std::move (settingsToUse)) {}
    virtual ~BatchOperation() = default;

    /** Makes the operation ready to run (parses the formula) and says why it
        would not start, if it would not. Called before anything is written. */
    virtual Refusal prepare() = 0;

    /** Prepares the operation (null: none chosen) for a run and says what the
        run refuses: the operation's own refusal, or an empty list of files. */
    static Refusal prepareForRun (BatchOperation* operation);

    /** The formula engine whose variables the operation changes, if any. */
    virtual FormulaEngine* formulaEngineInUse() const { return nullptr; }

    /** The operation's own lines at the head of the task description. */
    virtual juce::String describeTask() const = 0;

    /** The files the run backs up and rewrites, in order. */
    virtual juce::Array<juce::File> affectedFiles() const { return settings.files; }

    /** Whether a gzip-compressed file is worked on as the text it holds (and
        written back compressed), rather than as its bytes. */
    virtual bool opensGzip() const { return true; }

    /** Whether analyse() does enough work to be worth doing ahead. */
    virtual bool analysesFiles() const { return false; }

    /** The part of rewrite() that depends only on the bytes, or null when the
        operation has none. A run may call it ahead, on another thread, while
        earlier files are rewritten: it must not touch what rewrite() changes.
        Once stop is set, it may end early with a result nobody uses. */
    virtual std::unique_ptr<FileAnalysis> analyse (std::string_view /*original*/, const std::atomic<bool>& /*stop*/) const
    {
        return nullptr;
    }

    /** Whether a file changed since the run backed it up is read again and
        its change worked on (true), or held to its backed-up state, so that
        the change fails the file instead of being written over. */
    virtual bool readsChangedFilesAgain() const { return true; }

    /** An analysis made without the file's bytes, when its size and CRC-32
        (known from its copy in the run's backup) are enough to decide: the
        file is then not read, and rewrite() gets empty bytes with it. None
        when the bytes are needed. */
    virtual std::unique_ptr<FileAnalysis> analyseUnread (const juce::File& /*file*/, juce::int64 /*size*/, juce::uint32 /*crc*/) const
    {
        return nullptr;
    }

    /** What the file's bytes become, given what analyse() found in the same
        bytes (null when nothing was analysed) and what the file was when
        they were read (missing for a file that is not there). May throw
        StopRun. */
    virtual FileRewrite rewrite (const juce::File& file, std::string_view original, const FileAnalysis* analysis,
                                 const FileState& readAs) = 0;

    /** Whether rewrite() lists each change it makes in its changeList, for
        a report; off, it spends nothing on them. */
    virtual void setRecordsChanges (bool) {}

    /** Puts back into a formula engine shared with other operations (the
        steps of a recipe) what prepare() left in it, before rewrite(). */
    virtual void resumeEngine() {}

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

    /** The folder the run works in, holding its backup and log. */
    juce::File getFolder() const { return settings.workingFolder(); }

protected:
    BatchSettings settings;

private:
    JUCE_DECLARE_NON_COPYABLE (BatchOperation)
};
