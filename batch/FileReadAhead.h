#pragma once

#include "BatchOperation.h"
#include "GzipText.h"
#include "PlannedFile.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/**
    Reads and analyses the files of a run ahead of it, on threads of its own,
    so that parsing the next files overlaps converting and writing the
    current one, and two files are parsed at once where there are two cores.
    The run takes the files in their order. Up to a few dozen prepared files
    wait at a time, within a byte budget, so memory stays bounded by the largest files.
    Each side sleeps until it can go on for several files, since every
    wake-up costs system calls that a run of many small files would count.
    A file changed since it was read ahead (its state by name is no longer
    the one its descriptor had) is read again when its turn comes.
    Destroying it stops the threads within a megabyte of parsing.
*/
class FileReadAhead
{
public:
    /** One file read and analysed as the run would do it itself. */
    struct PreparedFile
    {
        juce::File file;
        juce::Result read = juce::Result::ok(); // a failed read leaves bytes empty
        std::string bytes;                      // empty for a file that does not exist; decompressed gzip data
        std::optional<GzipText::Header> gzip;   // the header of a file read as gzip data
        std::unique_ptr<FileAnalysis> analysis;
        FileState state;      // what had the name when it was opened: the file read, a folder...
        bool missing = false; // nothing had the name (nor a folder on its way)
        bool asBackedUp = false;  // bytes from the file's backup copy, state the one it had then
        bool lookPending = false; // nobody has compared state with the file since: its taker must,
                                  // where it looks at the name anyway (before writing, or after the work)

        /** Whether a run that does not create missing files passes over it
            without a word: gone since the scan, or turned into a folder. */
        bool isGone() const { return missing || state.kind == FileState::Kind::folder; }
    };

    /** Starts preparing the files in this order; the operation and the
        planned files must outlive it. */
    FileReadAhead (const BatchOperation& operation, std::vector<const PlannedFile*> files);
    ~FileReadAhead();

    FileReadAhead (const FileReadAhead&) = delete;
    FileReadAhead& operator= (const FileReadAhead&) = delete;

    /** A read-ahead over the planned files the operation will read, or null
        for an operation with nothing worth analysing ahead. The plan must
        outlive it. */
    static std::unique_ptr<FileReadAhead> startFor (const BatchOperation& operation, const std::vector<PlannedFile>& plan);

    /** How a file backed up by the run is read from its copy. */
    enum class CopyCheck
    {
        now,  // only while the file is still as backed up, which is looked at first
        later // at once, with the state it had then: its taker compares that with the file
    };

    /** The file as prepared ahead (ahead may be null) if it has not changed
        since, else prepared now. With CopyCheck::later, a small file from
        its backup copy comes without a look, marked lookPending, for an
        operation that reads changed files again. */
    static PreparedFile obtain (FileReadAhead* ahead, const BatchOperation& operation, const PlannedFile& file,
                                CopyCheck check = CopyCheck::later);

    /** What the run does with one file when nothing was prepared ahead. */
    static PreparedFile prepare (const BatchOperation& operation, const PlannedFile& file, const std::atomic<bool>& stop,
                                 CopyCheck check = CopyCheck::now, std::string buffer = {});

    /** The file prepared ahead, waiting for it if need be. Files listed before
        it and not taken are dropped; nothing when it is not among the files
        still to come or could not be prepared ahead. */
    std::optional<PreparedFile> take (const juce::File& file);

    /** Hands back a taken file's bytes once the run is done with them: their
        memory holds the bytes of a file prepared later. Freed on the run's
        thread instead, a buffer from a thread of this would make the two
        contend for the allocator's lock. Only the run's thread may call it. */
    void giveBack (std::string&& bytes);

private:
    /** Replaces gzip data by the text it holds, keeping its header. */
    static juce::Result decompress (PreparedFile& prepared);

    struct Slot
    {
        bool done = false;                    // false while its file is being prepared
        std::optional<PreparedFile> prepared; // none when preparing it failed
    };

    void prepareFiles();
    void prepareUntilStopped();
    bool mayPrepareMore() const;
    bool runMayGoOn() const;
    int fileCount() const { return (int) files.size(); }

    static constexpr int filesAhead = 32;
    static constexpr int filesForAWakeUp = filesAhead / 2;
    static constexpr size_t bytesForAWakeUp = size_t (1) << 20;
    static constexpr size_t bytesAhead = size_t (64) << 20;
    static constexpr size_t lookLaterLimit = size_t (1) << 20; // larger files are looked at before their work
    static constexpr size_t buffersKept = 4;                     // handed back, for the threads to fill: one each and some

    const BatchOperation& operation;
    const std::vector<const PlannedFile*> files;
    std::atomic<bool> stopping { false };
    std::mutex lock;
    // Each side is woken only when it can go on, not at every change: a
    // wake-up costs system calls, which a run of many small files counts.
    std::condition_variable frontReady; // the run waits for the file at the front
    std::condition_variable roomAhead;  // the threads wait for room to prepare more
    std::deque<Slot> slots;             // the files from nextToTake on that are claimed, in order
    int nextToTake = 0;
    int nextToPrepare = 0;
    size_t waitingBytes = 0; // of the prepared files in slots
    std::vector<std::string> spent;        // buffers handed back, for the threads to fill again
    std::vector<std::string> spentByRun;   // handed back since the last take(), on the run's thread only
    int liveThreads = 0;
    int beingPrepared = 0;            // files claimed by a thread and not done yet
    bool runWaiting = false;          // the run sleeps in take()
    std::vector<std::thread> threads; // last: they start once everything above is set
};
