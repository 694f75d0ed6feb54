#include "ZipArchiveWriter.h"

#include "CheckedBufferedOutputStream.h"
#include "ZipEntryLoader.h"

#include <algorithm>

ZipArchiveWriter::ZipArchiveWriter() = default;
ZipArchiveWriter::~ZipArchiveWriter() = default;

void ZipArchiveWriter::addEntry (const juce::File& sourceFile, const juce::String& storedName)
{
    entries.add (std::make_unique<ZipArchiveEntry> (sourceFile, storedName));
}

void ZipArchiveWriter::addEntry (const juce::File& sourceFile, const juce::String& storedName, ZipArchiveEntry::SourceOpener opener)
{
    entries.add (std::make_unique<ZipArchiveEntry> (sourceFile, storedName, std::move (opener)));
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
        target.deleteFile(); // an incomplete archive must not pass for a backup

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

    result = writeEndRecords (out, count, centralStart, out.getPosition() - centralStart);
    if (result.failed())
        return result;

    out.flush();
    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::checkFormatLimits() const
{
    // Refuse up front what cannot be stored, rather than find out after
    // gigabytes were written.
    for (auto* entry : entries)
    {
        if (entry->storedName.isEmpty())
            return juce::Result::fail ("no name to store " + entry->sourceFile.getFullPathName() + " under");

        if (entry->getNameSizeInBytes() > ZipArchiveEntry::maxNameBytes)
            return juce::Result::fail (ZipArchiveEntry::describeNameTooLong (entry->sourceFile));
    }

    return juce::Result::ok();
}

juce::Result ZipArchiveWriter::writeLocalEntries (juce::OutputStream& out)
{
    // The files are read on the other core while their predecessors are written.
    ZipEntryLoader loader (entries);
    int stored = 0;
    for (auto* entry : entries)
    {
        if (shouldStop && shouldStop (stored++, entries.size()))
            return juce::Result::fail ("cancelled");

        auto loaded = loader.next();
        const auto result = entry->writeLocalEntry (loaded, out);
        loader.giveBack (std::move (loaded));
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

void ZipArchiveWriter::setComment (const std::string& utf8Text)
{
    auto length = std::min (utf8Text.size(), maxCommentBytes);
    // Back up over continuation bytes so the cut falls before a character.
    if (length < utf8Text.size())
        while (length > 0 && (static_cast<unsigned char> (utf8Text[length]) & 0xC0) == 0x80)
            --length;
    comment = utf8Text.substr (0, length);

    // Readers find the end record by searching backwards for its signature,
    // "PK\5\6": a comment holding it could pass for the end. Control bytes
    // other than line breaks and tabs become '?', which rules that out.
    for (auto& byte : comment)
        if (const auto value = static_cast<unsigned char> (byte); (value < 0x20 && byte != '\n' && byte != '\t') || value == 0x7F)
            byte = '?';
}

juce::Result ZipArchiveWriter::writeEndRecords (juce::OutputStream& out, int count,
                                                juce::int64 centralStart, juce::int64 centralSize)
{
    const auto fits = [] (juce::int64 value) { return value <= ZipArchiveEntry::maxZip32Value; };
    const bool anyEntryZip64 = std::any_of (entries.begin(), entries.end(),
                                            [] (const ZipArchiveEntry* e) { return e->written && e->needsZip64(); });
    const bool zip64 = count > maxEntriesWithoutZip64 || ! fits (centralStart) || ! fits (centralSize) || anyEntryZip64;

    if (zip64)
    {
        const auto zip64EndStart = out.getPosition();
        const bool ok = out.writeInt ((int) zip64EndRecordSignature)
                     && out.writeInt64 (44) // size of the rest of the record
                     && out.writeShort ((short) (ZipArchiveEntry::madeByUnix | ZipArchiveEntry::zip64Version))
                     && out.writeShort ((short) ZipArchiveEntry::zip64Version)
                     && out.writeInt (0) && out.writeInt (0) // this disk, the central directory's disk
                     && out.writeInt64 (count) && out.writeInt64 (count)
                     && out.writeInt64 (centralSize) && out.writeInt64 (centralStart)
                     && out.writeInt ((int) zip64LocatorSignature)
                     && out.writeInt (0) // disk of the ZIP64 end record
                     && out.writeInt64 (zip64EndStart)
                     && out.writeInt (1); // disks in total
        if (! ok)
            return juce::Result::fail (ZipArchiveEntry::writeFailedMessage);
    }

    // Fields that overflow hold the marker; readers then take the ZIP64 record's values.
    const auto count16 = (short) (count > maxEntriesWithoutZip64 ? 0xFFFF : count);
    const bool ok = out.writeInt ((int) endRecordSignature)
                 && out.writeShort (0)       // number of this disk
                 && out.writeShort (0)       // disk where the central directory starts
                 && out.writeShort (count16) // records on this disk
                 && out.writeShort (count16) // records in total
                 && out.writeInt ((int) (fits (centralSize) ? (juce::uint32) centralSize : ZipArchiveEntry::zip64Marker))
                 && out.writeInt ((int) (fits (centralStart) ? (juce::uint32) centralStart : ZipArchiveEntry::zip64Marker))
                 && out.writeShort ((short) (juce::uint16) comment.size())
                 && out.write (comment.data(), comment.size());

    if (! ok)
        return juce::Result::fail (ZipArchiveEntry::writeFailedMessage);

    return juce::Result::ok();
}
