#include "FileReadAhead.h"

FileReadAhead::FileReadAhead (const BatchOperation& operationToUse, std::vector<const PlannedFile*> filesToPrepare)
    : operation (operationToUse), files (std::move (filesToPrepare))
{
    // Without threads take() finds nothing, and the run prepares each file itself.
    const auto threadCount = juce::jlimit (1, 2, juce::SystemStats::getNumCpus());
    try
    {
        threads.reserve ((size_t) threadCount);
    }
    catch (...)
    {
        return;
    }

    for (int i = 0; i < threadCount; ++i)
    {
        {
            const std::lock_guard<std::mutex> guard (lock);
            ++liveThreads;
        }
        try
        {
            threads.emplace_back ([this] { prepareFiles(); });
        }
        catch (...)
        {
            const std::lock_guard<std::mutex> guard (lock);
            --liveThreads;
            break;
        }
    }
}

FileReadAhead::~FileReadAhead()
{
    stopping = true;
    {
        const std::lock_guard<std::mutex> guard (lock);
    }
    roomAhead.notify_all();
    for (auto& thread : threads)
        thread.join();
}

std::unique_ptr<FileReadAhead> FileReadAhead::startFor (const BatchOperation& operation, const std::vector<PlannedFile>& plan)
{
    if (! operation.analysesFiles())
        return nullptr;

    std::vector<const PlannedFile*> toRead;
    toRead.reserve (plan.size());
    for (const auto& planned : plan)
        if (planned.kind == PlannedFile::Kind::process)
            toRead.push_back (&planned); // one gone since the scan is found so when it is opened
    return std::make_unique<FileReadAhead> (operation, std::move (toRead));
}

FileReadAhead::PreparedFile FileReadAhead::obtain (FileReadAhead* ahead, const BatchOperation& operation, const PlannedFile& file,
                                                   CopyCheck check)
{
    const bool mayLookLater = check == CopyCheck::later && operation.readsChangedFilesAgain();
    // Read ahead, a file may have been changed by someone else before its
    // turn: it is read again, so that the run never writes over that change.
    // A write during the read, or after it, shows in its times by now. A
    // file read from its backup copy carries the state it had when backed
    // up, so a look also finds a change since the backup. For a small one
    // that look waits for the one the run takes anyway, before its new
    // version takes the name (or after the work when there is none).
    if (ahead != nullptr)
        if (auto prepared = ahead->take (file.file); prepared && prepared->read.wasOk() && prepared->state.exists())
        {
            if (prepared->asBackedUp && mayLookLater && prepared->bytes.size() <= lookLaterLimit)
            {
                prepared->lookPending = true;
                return std::move (*prepared);
            }
            if (file.currentState().isUnchangedFrom (prepared->state))
                return std::move (*prepared);
        }

    const std::atomic<bool> neverStopped { false };
    const bool copyLater = mayLookLater && file.backedUp.has_value() && (size_t) file.backedUp->size <= lookLaterLimit;
    auto prepared = prepare (operation, file, neverStopped, copyLater ? CopyCheck::later : CopyCheck::now);
    prepared.lookPending = copyLater && prepared.asBackedUp;
    return prepared;
}

juce::Result FileReadAhead::decompress (PreparedFile& prepared)
{
    auto unpacked = GzipText::decompress (prepared.bytes);
    prepared.bytes = {};
    if (! unpacked.error.empty())
        return juce::Result::fail (juce::String::fromUTF8 (unpacked.error.c_str()));

    prepared.bytes = std::move (unpacked.text);
    prepared.gzip = std::move (unpacked.header);
    return juce::Result::ok();
}

FileReadAhead::PreparedFile FileReadAhead::prepare (const BatchOperation& operation, const PlannedFile& file,
                                                    const std::atomic<bool>& stop, CopyCheck check, std::string buffer)
{
    PreparedFile prepared;
    prepared.file = file.file;
    prepared.bytes = std::move (buffer);
    prepared.bytes.clear(); // keeps the buffer's memory for the bytes read
    try
    {
        // A file unchanged since its backup is read from there: one look
        // at its name instead of opening and reading it a second time (read
        // ahead, the look is the one the run takes anyway at the file's turn).
        // Otherwise the state comes with the open file: the run neither
        // asks for it by name first nor again afterwards.
        if (file.backedUp.has_value())
            if (prepared.analysis = operation.analyseUnread (file.file, file.backedUp->size, file.backedUp->crc); prepared.analysis != nullptr)
            {
                prepared.state = file.backedUp->state;
                return prepared;
            }

        const bool heldToBackup = check == CopyCheck::later || ! operation.readsChangedFilesAgain();
        const bool fromCopy = heldToBackup ? file.readCopyAsBackedUp (prepared.bytes, prepared.state)
                                           : file.readBackedUpCopy (prepared.bytes, prepared.state);
        prepared.asBackedUp = fromCopy && heldToBackup;
        if (! fromCopy)
        {
            const auto stream = file.openForReading();
            prepared.state = stream->getState();
            prepared.missing = stream->wasMissing();
            if (prepared.missing)
                return prepared;

            prepared.read = stream->readAll (prepared.bytes);
            if (prepared.read.failed())
                return prepared;
        }
        if (operation.opensGzip() && GzipText::isGzip (prepared.bytes))
            if (prepared.read = decompress (prepared); prepared.read.failed())
                return prepared;
        prepared.analysis = operation.analyse (prepared.bytes, stop);
    }
    catch (const std::bad_alloc&)
    {
        // The file is left as it is and fails; the run goes on with the next.
        prepared.bytes = {};
        prepared.analysis = nullptr;
        prepared.read = juce::Result::fail ("not enough memory to read and parse it");
    }
    return prepared;
}

bool FileReadAhead::mayPrepareMore() const
{
    return nextToPrepare < fileCount() && nextToPrepare - nextToTake < filesAhead && waitingBytes < bytesAhead;
}

bool FileReadAhead::runMayGoOn() const
{
    // A run that had to wait sleeps on until a batch of files is ready, or
    // until nothing more is coming soon (no file being prepared): each
    // wake-up then serves several files.
    if (slots.empty())
        return liveThreads == 0;
    if (! slots.front().done)
        return false;
    if (beingPrepared == 0 || liveThreads == 0)
        return true;
    // Large files wake it sooner: a cancel waits for at most a megabyte or
    // so of parsing, however large the files.
    size_t ready = 0, readyBytes = 0;
    for (; ready < slots.size() && slots[ready].done; ++ready)
        if (slots[ready].prepared)
            readyBytes += slots[ready].prepared->bytes.size();
    return ready >= (size_t) filesForAWakeUp || readyBytes >= bytesForAWakeUp;
}

void FileReadAhead::prepareFiles()
{
    try
    {
        prepareUntilStopped();
    }
    catch (...)
    {
        // A thread that cannot go on leaves the files it did not claim to the others or to the run.
    }

    {
        const std::lock_guard<std::mutex> guard (lock);
        --liveThreads;
    }
    frontReady.notify_all();
}

void FileReadAhead::prepareUntilStopped()
{
    // One lock a file: a thread hands in the file it prepared and claims the
    // next in the same turn, since every turn can make another side wait.
    std::unique_lock<std::mutex> guard (lock);
    for (;;)
    {
        roomAhead.wait (guard, [this] { return stopping || nextToPrepare == fileCount() || mayPrepareMore(); });
        if (stopping || nextToPrepare == fileCount())
            return;
        slots.emplace_back();
        const int index = nextToPrepare++;
        ++beingPrepared;
        std::string buffer;
        if (! spent.empty())
        {
            buffer = std::move (spent.back());
            spent.pop_back();
        }
        guard.unlock();

        Slot slot;
        slot.done = true;
        try
        {
            slot.prepared = prepare (operation, *files[(size_t) index], stopping, CopyCheck::later, std::move (buffer));
        }
        catch (...)
        {
            // Left unprepared: the run prepares it itself.
        }

        // A slot is taken only once done, so this one is still there.
        guard.lock();
        if (slot.prepared)
            waitingBytes += slot.prepared->bytes.size();
        slots[(size_t) (index - nextToTake)] = std::move (slot);
        --beingPrepared;
        if (runWaiting && runMayGoOn())
        {
            // Woken outside the lock, the run does not find it still held.
            guard.unlock();
            frontReady.notify_one();
            guard.lock();
        }
    }
}

void FileReadAhead::giveBack (std::string&& bytes)
{
    if (bytes.capacity() > 0 && spentByRun.size() < buffersKept)
        spentByRun.push_back (std::move (bytes));
}

std::optional<FileReadAhead::PreparedFile> FileReadAhead::take (const juce::File& file)
{
    std::optional<PreparedFile> taken;
    bool wakeThreads = false;
    {
        std::unique_lock<std::mutex> guard (lock);
        for (auto& buffer : spentByRun)
            if (spent.size() < buffersKept)
                spent.push_back (std::move (buffer));
        spentByRun.clear();
        int wanted = nextToTake;
        while (wanted < fileCount() && files[(size_t) wanted]->file != file)
            ++wanted;
        if (wanted == fileCount())
            return std::nullopt;

        for (;;)
        {
            if (slots.empty() || ! slots.front().done)
            {
                runWaiting = true;
                frontReady.wait (guard, [this] { return runMayGoOn(); });
                runWaiting = false;
            }
            if (slots.empty())
                break; // no thread is left to prepare it

            auto front = std::move (slots.front());
            slots.pop_front();
            const bool wasOverBudget = waitingBytes >= bytesAhead;
            if (front.prepared)
                waitingBytes -= front.prepared->bytes.size();
            // The threads are woken once half the files ahead are taken (and
            // then at every take, so an empty queue always has them awake), or
            // when the bytes fall back within the budget: each wakes for a few
            // files at a time rather than for every file.
            wakeThreads = wakeThreads || nextToPrepare - (nextToTake + 1) <= filesAhead / 2 || (wasOverBudget && waitingBytes < bytesAhead);
            if (nextToTake++ == wanted)
            {
                taken = std::move (front.prepared);
                break;
            }
        }
    }

    // Woken outside the lock, a thread does not find it still held.
    if (wakeThreads)
        roomAhead.notify_all();
    return taken;
}
