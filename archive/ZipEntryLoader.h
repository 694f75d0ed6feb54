#pragma once

#include "ZipArchiveEntry.h"

#include <juce_core/juce_core.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

/**
    Opens and reads the files of an archive's entries ahead of their writing,
    on a thread of its own: while the writer copies one file's bytes out, the
    next files are opened, read and checksummed on the other core. Small files
    wait read whole, a large one waits opened, for the writer to stream it;
    a few dozen files at most, within a byte budget.
    Destroying it stops the thread after the file at hand.
*/
class ZipEntryLoader
{
public:
    /** Starts loading the entries in their order; they must outlive it. */
    explicit ZipEntryLoader (const juce::OwnedArray<ZipArchiveEntry>& entries);
    ~ZipEntryLoader();

    ZipEntryLoader (const ZipEntryLoader&) = delete;
    ZipEntryLoader& operator= (const ZipEntryLoader&) = delete;

    /** The next entry's source, in the entries' order, waiting for it if
        need be; without a source when it could not be loaded ahead, which
        leaves the opening to the writer. */
    ZipArchiveEntry::Loaded next();

    /** Hands a written entry's source back: the thread closes it and reuses
        its room, so that what one thread allocated is freed by the same. */
    void giveBack (ZipArchiveEntry::Loaded used);

private:
    void loadUntilStopped();
    bool writerMayGoOn() const;
    bool mayLoadMore() const;

    static constexpr size_t entriesAhead = 32;
    static constexpr size_t entriesForAWakeUp = entriesAhead / 2;
    static constexpr size_t bytesAhead = size_t (16) << 20;

    const juce::OwnedArray<ZipArchiveEntry>& entries;
    std::mutex lock;
    // Each side sleeps until it can go on for several files: a wake-up costs
    // system calls, which a backup of many small files would count.
    std::condition_variable loadedSome;  // the writer waits for files to write
    std::condition_variable roomForMore; // the thread waits for room to load more
    std::deque<ZipArchiveEntry::Loaded> ready;
    std::vector<ZipArchiveEntry::Loaded> givenBack;
    size_t readyBytes = 0;
    int nextToLoad = 0;
    int nextToTake = 0;
    bool loading = false;  // the thread is done with every entry it will load once false
    bool stopping = false; // the writer no longer wants any
    bool writerWaiting = false;
    bool loaderWaiting = false;
    std::thread thread; // last: it starts once everything above is set
};
