#pragma once

#include "BatchOperation.h"
#include "PlannedFile.h"

#include <juce_core/juce_core.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/**
    Reads and inspects the files of a run ahead of it, on threads of its own,
    so that parsing the next files overlaps converting and writing the
    current one, and two files are parsed at once where there are two cores.
    The run takes the files in their order. At most a few prepared files wait
    at a time, so memory stays bounded by the largest files. Destroying it
    stops the threads after the files they are preparing.
*/
class FileReadAhead
{
public:
    /** One file read and inspected as the run would do it itself. */
    struct PreparedFile
    {
        juce::File file;
        juce::Result read = juce::Result::ok(); // a failed read leaves bytes empty
        std::string bytes;                      // empty for a file that does not exist
        std::unique_ptr<FileInspection> inspection;
    };

    /** Starts preparing the files in this order; the operation must outlive it. */
    FileReadAhead (const BatchOperation& operation, juce::Array<juce::File> files);
    ~FileReadAhead();

    FileReadAhead (const FileReadAhead&) = delete;
    FileReadAhead& operator= (const FileReadAhead&) = delete;

    /** The file prepared ahead, waiting for it if need be. Files listed before
        it and not taken are dropped; nothing when it is not among the files
        still to come, and the caller then prepares it itself. */
    std::optional<PreparedFile> take (const juce::File& file);

    /** A read-ahead over the planned files the operation will read, or null
        for an operation with nothing worth inspecting ahead. */
    static std::unique_ptr<FileReadAhead> startFor (const BatchOperation& operation, const std::vector<PlannedFile>& plan);

    /** The file as prepared ahead (ahead may be null), or prepared now. */
    static PreparedFile obtain (FileReadAhead* ahead, const BatchOperation& operation, const juce::File& file);

    /** What the run does with one file when nothing was prepared ahead. */
    static PreparedFile prepare (const BatchOperation& operation, const juce::File& file);

private:
    void prepareFiles();
    bool mayPrepareMore() const;

    static constexpr int filesAhead = 4;

    const BatchOperation& operation;
    const juce::Array<juce::File> files;
    std::mutex lock;
    std::condition_variable changed;
    // The files from nextToTake on that are being prepared or wait, in order;
    // a slot is empty while its file is still being prepared.
    std::deque<std::optional<PreparedFile>> slots;
    int nextToTake = 0;
    int nextToPrepare = 0;
    bool stopping = false;
    std::vector<std::thread> threads; // last: they start once everything above is set
};
