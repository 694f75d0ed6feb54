#include "FileReadAhead.h"

#include "RegularFileReader.h"

#include <system_error>

FileReadAhead::FileReadAhead (const BatchOperation& operationToUse, juce::Array<juce::File> filesToPrepare)
    : operation (operationToUse), files (std::move (filesToPrepare))
{
    const auto threadCount = juce::jlimit (1, 2, juce::SystemStats::getNumCpus());
    try
    {
        for (int i = 0; i < threadCount; ++i)
            threads.emplace_back ([this] { prepareFiles(); });
    }
    catch (const std::system_error&)
    {
        // Fewer threads, or none: then take() finds nothing and the run
        // prepares each file itself.
    }
}

FileReadAhead::~FileReadAhead()
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        stopping = true;
    }
    changed.notify_all();
    for (auto& thread : threads)
        thread.join();
}

std::unique_ptr<FileReadAhead> FileReadAhead::startFor (const BatchOperation& operation, const std::vector<PlannedFile>& plan)
{
    if (! operation.inspectsFiles())
        return nullptr;

    juce::Array<juce::File> toRead;
    for (const auto& planned : plan)
        if (planned.kind == PlannedFile::Kind::process && ! planned.isSkipped (operation.createsMissingFiles()))
            toRead.add (planned.file);
    return std::make_unique<FileReadAhead> (operation, toRead);
}

FileReadAhead::PreparedFile FileReadAhead::obtain (FileReadAhead* ahead, const BatchOperation& operation, const juce::File& file)
{
    if (ahead != nullptr)
        if (auto prepared = ahead->take (file))
            return std::move (*prepared);
    return prepare (operation, file);
}

FileReadAhead::PreparedFile FileReadAhead::prepare (const BatchOperation& operation, const juce::File& file)
{
    PreparedFile prepared;
    prepared.file = file;
    try
    {
        if (file.exists())
            prepared.read = RegularFileReader::read (file, prepared.bytes);
        if (prepared.read.wasOk())
            prepared.inspection = operation.inspect (prepared.bytes);
    }
    catch (const std::exception& error)
    {
        // On the preparing thread nothing may escape: the file fails instead.
        prepared.bytes = {};
        prepared.inspection = nullptr;
        prepared.read = juce::Result::fail ("cannot read it (" + juce::String (error.what()) + ")");
    }
    return prepared;
}

bool FileReadAhead::mayPrepareMore() const
{
    return nextToPrepare < files.size() && nextToPrepare - nextToTake < filesAhead;
}

void FileReadAhead::prepareFiles()
{
    for (;;)
    {
        int index = 0;
        {
            std::unique_lock<std::mutex> guard (lock);
            changed.wait (guard, [this] { return stopping || nextToPrepare == files.size() || mayPrepareMore(); });
            if (stopping || nextToPrepare == files.size())
                return;
            index = nextToPrepare++;
            slots.emplace_back();
        }

        auto prepared = prepare (operation, files.getReference (index));

        {
            // A slot is taken only once filled, so this one is still there.
            const std::lock_guard<std::mutex> guard (lock);
            slots[(size_t) (index - nextToTake)] = std::move (prepared);
        }
        changed.notify_all();
    }
}

std::optional<FileReadAhead::PreparedFile> FileReadAhead::take (const juce::File& file)
{
    if (threads.empty())
        return std::nullopt;

    std::unique_lock<std::mutex> guard (lock);
    int wanted = nextToTake;
    while (wanted < files.size() && files.getReference (wanted) != file)
        ++wanted;
    if (wanted == files.size())
        return std::nullopt;

    for (;;)
    {
        changed.wait (guard, [this] { return ! slots.empty() && slots.front().has_value(); });
        auto front = std::move (*slots.front());
        slots.pop_front();
        changed.notify_all();
        if (nextToTake++ == wanted)
            return front;
    }
}
