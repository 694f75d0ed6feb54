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
    The run takes the files in their order. A few prepared files wait at a
    time, within a byte budget, so memory stays bounded by the largest files.
    A file changed since it was read ahead is read again when its turn comes.
    Destroying it stops the threads within a megabyte of parsing.
*/
class FileReadAhead
{
public:
    /** The identity and state of a file when it was read: equal again only
        if nothing has written to it since. */
    struct FileVersion
    {
        unsigned long long device = 0, inode = 0, size = 0;
        long long modifiedSeconds = 0, modifiedNanoseconds = 0, changedSeconds = 0, changedNanoseconds = 0;
        bool operator== (const FileVersion& other) const;
        static std::optional<FileVersion> of (const PlannedFile& file);
    };

    /** One file read and analysed as the run would do it itself. */
    struct PreparedFile
    {
        juce::File file;
        juce::Result read = juce::Result::ok(); // a failed read leaves bytes empty
        std::string bytes;                      // empty for a file that does not exist; decompressed gzip data
        std::optional<GzipText::Header> gzip;   // the header of a file read as gzip data
        std::unique_ptr<FileAnalysis> analysis;
        std::optional<FileVersion> version; // none when it changed while read, or does not exist
    };

    /** Starts preparing the files in this order; the operation must outlive it. */
    FileReadAhead (const BatchOperation& operation, juce::Array<PlannedFile> files);
    ~FileReadAhead();

    FileReadAhead (const FileReadAhead&) = delete;
    FileReadAhead& operator= (const FileReadAhead&) = delete;

    /** A read-ahead over the planned files the operation will read, or null
        for an operation with nothing worth analysing ahead. */
    static std::unique_ptr<FileReadAhead> startFor (const BatchOperation& operation, const std::vector<PlannedFile>& plan);

    /** The file as prepared ahead (ahead may be null) if it has not changed
        since, else prepared now. */
    static PreparedFile obtain (FileReadAhead* ahead, const BatchOperation& operation, const PlannedFile& file);

    /** What the run does with one file when nothing was prepared ahead. */
    static PreparedFile prepare (const BatchOperation& operation, const PlannedFile& file, const std::atomic<bool>& stop);

    /** The file prepared ahead, waiting for it if need be. Files listed before
        it and not taken are dropped; nothing when it is not among the files
        still to come or could not be prepared ahead. */
    std::optional<PreparedFile> take (const juce::File& file);

private:
    /** Replaces gzip data by the text it holds, keeping its header. */
    static juce::Result decompress (PreparedFile& prepared);

    struct Slot
    {
        bool done = false;                    // false while its file is being prepared
        std::optional<PreparedFile> prepared; // none when preparing it failed
    };

    PreparedFile prepareAhead (const PlannedFile& file);
    void prepareFiles();
    void prepareUntilStopped();
    bool mayPrepareMore() const;

    static constexpr int filesAhead = 4;
    static constexpr size_t bytesAhead = size_t (64) << 20;

    const BatchOperation& operation;
    const juce::Array<PlannedFile> files;
    std::atomic<bool> stopping { false };
    std::mutex lock;
    std::condition_variable changed;
    std::deque<Slot> slots; // the files from nextToTake on that are claimed, in order
    int nextToTake = 0;
    int nextToPrepare = 0;
    size_t waitingBytes = 0; // of the prepared files in slots
    int liveThreads = 0;
    std::vector<std::thread> threads; // last: they start once everything above is set
};
