#pragma once

#include "BatchOperation.h"
#include "FileReadAhead.h"
#include "FileRewrite.h"
#include "GzipText.h"
#include "PlannedFile.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/**
    Goes through an operation's planned files in the run's order, the part
    that a run and a preview share: files read and analysed ahead, a cancel
    checked before each file, progress after each, files gone since the scan
    skipped without a word, and each remaining file handed on with what the
    operation makes of it. What to do with that (write it, or describe it) is
    the caller's.
*/
class BatchFileLoop
{
public:
    /** One listed file, and what became of it. */
    struct Step
    {
        enum class Kind
        {
            outside,    // leads out of the folder: reason says where
            alias,      // the same file as one listed before: reason names it
            readFailed, // could not be read: reason says why
            rewritten,  // rewrite holds the operation's result for original
            stopped,    // the operation cannot go on: stop says why
            cancelled,  // a cancel stopped the operation within the file, which stays as it was
            notReached  // after a stop, for a caller that asked to go on listing
        };

        const PlannedFile& planned;
        Kind kind = Kind::rewritten;
        juce::String reason;
        std::string original;
        FileRewrite rewrite;
        std::optional<BatchOperation::StopRun> stop;
        std::optional<GzipText::Header> gzip; // original and rewrite hold the text of this gzip file
        FileState readAs;                     // the file as original was read from it
        bool nameChanged = false;             // the write found the name no longer holding the file as read

        /** Whether the step has a new version to write. */
        bool writes() const { return kind == Kind::rewritten && rewrite.result.wasOk() && rewrite.changes > 0; }
    };

    /** How a pass through the files ended. */
    enum class End
    {
        completed,
        stopped,  // the operation stopped it (StopRun)
        cancelled // the cancel flag was set
    };

    /** What the caller does as files go by; its return value says whether to go on. */
    struct Handler
    {
        std::function<void (const PlannedFile&)> fileStarts; // before the file's work (after it, for a file looked at then)
        std::function<void (Step&)> write;                   // writes a step that writes(); sets rewrite.result (and nameChanged)
        std::function<bool (Step&)> fileDone;                // false ends the pass as stopped
        bool listsFilesAfterStop = false;                    // hand on the rest as notReached after a stop
    };

    BatchFileLoop (BatchOperation& operation, const std::atomic<bool>* cancel,
                   std::function<void (int filesDone, int filesTotal)> progress);

    End run (const std::vector<PlannedFile>& plan, const Handler& handler);

    /** "it leads to PATH, outside the folder: not backed up, not changed". */
    static juce::String outsideReason (const PlannedFile& planned);

    /** "the same file as PATH, processed under that name". */
    static juce::String aliasReason (const PlannedFile& planned);

private:
    /** Reads and analyses a file to process; a file too large for memory fails. */
    FileReadAhead::PreparedFile prepare (const PlannedFile& planned, FileReadAhead* ahead,
                                         FileReadAhead::CopyCheck check = FileReadAhead::CopyCheck::later) const;
    bool isGone (const FileReadAhead::PreparedFile& prepared) const;
    Step stepFor (const PlannedFile& planned, std::optional<FileReadAhead::PreparedFile> prepared);
    /** The step of a listed file (announced, and written when it writes);
        nothing for a file gone since the scan. */
    std::optional<Step> stepOf (const PlannedFile& planned, FileReadAhead* ahead, const Handler& handler);
    /** The step of a file to process, written when it writes; nothing when
        the file turns out to be gone since the scan. */
    std::optional<Step> processedStep (const PlannedFile& planned, FileReadAhead::PreparedFile prepared, const Handler& handler);
    /** Whether a step worked from bytes the file still holds: its write
        found so, or, without a write, a look at the name. */
    static bool stillAsRead (Step& step, const Handler& handler);
    static void writeIfItWrites (Step& step, const Handler& handler);
    static void failForMemory (Step& step);
    bool isCancelled() const { return cancel != nullptr && cancel->load(); }

    BatchOperation& operation;
    const std::atomic<bool>* cancel;
    std::function<void (int, int)> progress;
};
