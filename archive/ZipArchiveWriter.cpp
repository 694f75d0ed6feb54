#include "ZipArchiveWriter.h"

#include "CheckedBufferedOutputStream.h"

ZipArchiveWriter::ZipArchiveWriter() = default;
ZipArchiveWriter::~ZipArchiveWriter() = default;

void ZipArchiveWriter::addEntry (const juce::File& sourceFile, const juce::String& storedName)
{
    entries.add (std::make_unique<ZipArchiveEntry> (sourceFile, storedName));
}

const juce::String& ZipArchiveWriter::getLastError() const
{
    return lastError;
}

void ZipArchiveWriter::clear()
{
    entries.clear();
}

int ZipArchiveWriter::getNumEntries() const
{
    return entries.size();
}

bool ZipArchiveWriter::fail (const juce::String& reason)
{
    lastError = reason;
    return false;
}

bool ZipArchiveWriter::writeToFile (const juce::File& target)
{
    lastError.clear();
    const auto path = target.getFullPathName();

    if (target.isDirectory())
        return fail (path + " is a folder");

    if (target.exists() && ! target.deleteFile())
        return fail ("cannot replace " + path);

    const auto created = target.create();
    if (created.failed())
        return fail ("cannot create " + path + " (" + created.getErrorMessage() + ")");

    // Unbuffered, so that every write reports its own result: a buffered
    // stream drops the result of the flush it does before seeking or on
    // flush(), and a short write there would go unnoticed.
    auto stream = target.createOutputStream (0);

    if (stream == nullptr)
    {
        target.deleteFile();
        return fail ("cannot open " + path + " for writing");
    }

    // The checked buffer on top turns the many small header writes into few
    // large ones, and keeps any failure of them. writeTo() ends with flush(),
    // which also syncs the file to the disk: the stream's status is the last
    // word on whether every byte got there.
    CheckedBufferedOutputStream buffered (*stream, outputBufferSize);
    const bool complete = writeTo (buffered) && ! buffered.hasFailed() && stream->getStatus().wasOk();

    if (! complete && (lastError.isEmpty() || lastError == ZipArchiveEntry::writeFailedMessage))
    {
        const auto status = stream->getStatus();
        lastError = status.failed() ? "write failed (" + status.getErrorMessage() + ")"
                                    : juce::String (ZipArchiveEntry::writeFailedMessage);
        lastError << " on " << path;
    }

    stream.reset();

    if (! complete)
        target.deleteFile();   // an incomplete archive must not pass for a backup

    return complete;
}

bool ZipArchiveWriter::writeTo (juce::OutputStream& out)
{
    lastError.clear();
    const auto result = writeArchive (out);
    return result.wasOk() || fail (result.getErrorMessage());
}

juce::Result ZipArchiveWriter::writeArchive (juce::OutputStream& out)
{
    auto result = checkFormatLimits();
    if (result.failed())
        return result;

    result = writeLocalEntries (out);
    if (result.failed())
        return result;

    const auto centralStart = out.getPosition();
    int count = 0;
    result = writeCentralDirectory (out, count);
    if (result.failed())
        return result;

    result = writeEndRecord (out, count, centralStart, out.getPosition() - centralStart);
    if (result.failed())
        return result;

    out.flush();
    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::checkFormatLimits() const
{
    if (entries.size() > maxEntries)
        return juce::Result::fail ("too many files (" + juce::String (entries.size())
                                   + "): at most " + juce::String (maxEntries) + " without ZIP64");

    // Refuse up front what cannot fit, rather than find out after gigabytes
    // were written. Sizes may still change before the copy; the copy checks again.
    juce::int64 archiveSize = endRecordSize;

    for (auto* entry : entries)
    {
        if (entry->storedName.isEmpty())
            return juce::Result::fail ("no name to store " + entry->sourceFile.getFullPathName() + " under");

        const auto nameBytes = entry->getNameSizeInBytes();
        if (nameBytes > ZipArchiveEntry::maxNameBytes)
            return juce::Result::fail (ZipArchiveEntry::describeNameTooLong (entry->sourceFile));

        if (! entry->sourceFile.existsAsFile())
            continue;

        const auto size = entry->sourceFile.getSize();
        if (size > ZipArchiveEntry::maxZip32Value)
            return juce::Result::fail (ZipArchiveEntry::describeTooLarge (entry->sourceFile));

        archiveSize += ZipArchiveEntry::localHeaderSize + ZipArchiveEntry::centralHeaderSize
                       + 2 * nameBytes + size;
    }

    if (archiveSize > ZipArchiveEntry::maxZip32Value)
        return juce::Result::fail (ZipArchiveEntry::archiveTooLargeMessage);

    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::writeLocalEntries (juce::OutputStream& out)
{
    for (auto* entry : entries)
    {
        const auto result = entry->writeLocalEntry (out);
        if (result.failed())
            return result;
    }

    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::writeCentralDirectory (juce::OutputStream& out, int& count)
{
    count = 0;

    for (auto* entry : entries)
    {
        if (! entry->written)
            continue;

        if (! entry->writeCentralEntry (out))
            return juce::Result::fail (ZipArchiveEntry::writeFailedMessage);

        ++count;
    }

    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::writeEndRecord (juce::OutputStream& out, int count,
                                               juce::int64 centralStart, juce::int64 centralSize)
{
    if (centralStart > ZipArchiveEntry::maxZip32Value || centralSize > ZipArchiveEntry::maxZip32Value)
        return juce::Result::fail (ZipArchiveEntry::archiveTooLargeMessage);

    const bool ok = out.writeInt ((int) endRecordSignature)
                 && out.writeShort (0)                      // number of this disk
                 && out.writeShort (0)                      // disk where the central directory starts
                 && out.writeShort ((short) count)          // records on this disk
                 && out.writeShort ((short) count)          // records in total
                 && out.writeInt ((int) centralSize)
                 && out.writeInt ((int) centralStart)
                 && out.writeShort (0);                     // comment length

    if (! ok)
        return juce::Result::fail (ZipArchiveEntry::writeFailedMessage);

    if (out.getPosition() > ZipArchiveEntry::maxZip32Value)
        return juce::Result::fail (ZipArchiveEntry::archiveTooLargeMessage);

    return juce::Result::ok();
}
