#include "ZipEntryLoader.h"

ZipEntryLoader::ZipEntryLoader (const juce::OwnedArray<ZipArchiveEntry>& entriesToLoad)
    : entries (entriesToLoad)
{
    // Without the thread, next() hands out nothing and the writer opens each file itself.
    try
    {
        givenBack.reserve (entriesAhead);
        loading = true;
        thread = std::thread ([this] { loadUntilStopped(); });
    }
    catch (...)
    {
        loading = false;
    }
}

ZipEntryLoader::~ZipEntryLoader()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        stopping = true;
    }
    roomForMore.notify_all();
    if (thread.joinable())
        thread.join();
}

bool ZipEntryLoader::mayLoadMore() const
{
    return ready.size() < entriesAhead && readyBytes < bytesAhead;
}

bool ZipEntryLoader::writerMayGoOn() const
{
    return ready.size() >= entriesForAWakeUp || ! loading || ! mayLoadMore()
        || (size_t) (entries.size() - nextToTake) <= ready.size();
}

void ZipEntryLoader::loadUntilStopped()
{
    try
    {
        std::vector<ZipArchiveEntry::Loaded> used;
        used.reserve (entriesAhead);
        // Held except while a file is loaded: once a file, not twice.
        std::unique_lock<std::mutex> guard (lock);
        for (int index = 0; index < entries.size(); ++index)
        {
            loaderWaiting = true;
            roomForMore.wait (guard, [this] { return stopping || mayLoadMore(); });
            loaderWaiting = false;
            if (stopping)
                break;
            used.swap (givenBack);
            guard.unlock();

            // The largest room handed back is used again; the rest is freed here.
            ZipArchiveEntry::Loaded loaded;
            for (auto& each : used)
                if (each.bytes.capacity() > loaded.bytes.capacity())
                    std::swap (loaded.bytes, each.bytes);
            used.clear();
            entries.getUnchecked (index)->load (loaded);

            guard.lock();
            readyBytes += loaded.bytes.size();
            ready.push_back (std::move (loaded));
            ++nextToLoad;
            if (writerWaiting && writerMayGoOn())
            {
                guard.unlock();
                loadedSome.notify_one();
                guard.lock();
            }
        }
    }
    catch (...)
    {
        // The entries not loaded are opened by the writer itself.
    }

    {
        const std::lock_guard<std::mutex> guard (lock);
        loading = false;
    }
    loadedSome.notify_one();
}

ZipArchiveEntry::Loaded ZipEntryLoader::next()
{
    ZipArchiveEntry::Loaded taken;
    bool wakeLoader = false;
    {
        std::unique_lock<std::mutex> guard (lock);
        if (ready.empty())
        {
            writerWaiting = true;
            loadedSome.wait (guard, [this] { return (! ready.empty() && writerMayGoOn()) || ! loading; });
            writerWaiting = false;
        }
        ++nextToTake;
        if (ready.empty())
            return taken;

        taken = std::move (ready.front());
        ready.pop_front();
        readyBytes -= taken.bytes.size();
        // The thread is woken once half the room is free, so that it loads
        // several files a wake-up.
        wakeLoader = loaderWaiting && ready.size() <= entriesAhead / 2 && readyBytes < bytesAhead;
    }
    if (wakeLoader)
        roomForMore.notify_one();
    return taken;
}

void ZipEntryLoader::giveBack (ZipArchiveEntry::Loaded used)
{
    const std::lock_guard<std::mutex> guard (lock);
    if (loading && givenBack.size() < givenBack.capacity())
        givenBack.push_back (std::move (used));
}
