#include "ZipArchiveEntry.h"

#include "FileNameText.h"
#include "ReadAheadInputStream.h"
#include "RegularFileInputStream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace
{
    // MS-DOS time stamps cover 1980 to 2107 in local time; a time outside that
    // range is pinned to the nearest end rather than wrapped into a wrong year.
    juce::Time clampToDosRange (juce::Time time)
    {
        // Made once: each local time made asks the system for the time zone again.
        static const juce::Time earliest (1980, 0, 1, 0, 0, 0, 0, true);
        static const juce::Time latest (2107, 11, 31, 23, 59, 58, 0, true);

        if (time < earliest)
            return earliest;
        if (time > latest)
            return latest;
        return time;
    }

    juce::uint16 toDosDate (juce::Time time)
    {
        return (juce::uint16) (time.getDayOfMonth()
                               + ((time.getMonth() + 1) << 5)
                               + ((time.getYear() - 1980) << 9));
    }

    juce::uint16 toDosTime (juce::Time time)
    {
        return (juce::uint16) (time.getSeconds() / 2
                               + (time.getMinutes() << 5)
                               + (time.getHours() << 11));
    }

    bool isPlainAscii (const std::string& bytes)
    {
        return std::all_of (bytes.begin(), bytes.end(), [] (char c) { return (unsigned char) c < 0x80; });
    }

    bool fitsZip32 (juce::int64 value)
    {
        return value >= 0 && value <= ZipArchiveEntry::maxZip32Value;
    }

    bool write16 (juce::OutputStream& out, juce::uint16 value)
    {
        return out.writeShort ((short) value);
    }

    bool write32 (juce::OutputStream& out, juce::uint32 value)
    {
        return out.writeInt ((int) value);
    }

    bool write64 (juce::OutputStream& out, juce::int64 value)
    {
        return out.writeInt64 (value);
    }

    juce::uint32 fieldFor (juce::int64 value)
    {
        return fitsZip32 (value) ? (juce::uint32) value : ZipArchiveEntry::zip64Marker;
    }

    juce::String describeUnreadable (const juce::File& file, const juce::Result& status)
    {
        auto text = "cannot read " + file.getFullPathName();
        if (status.failed())
            text << " (" << status.getErrorMessage() << ")";
        return text;
    }
}

ZipArchiveEntry::ZipArchiveEntry (const juce::File& file, const juce::String& name, SourceOpener openSource)
    : sourceFile (file), storedName (name), nameBytes (FileNameText::toBytes (name)), opener (std::move (openSource))
{
}

juce::String ZipArchiveEntry::describeTooLarge (const juce::File& file)
{
    return file.getFullPathName() + " is 4 GiB or larger now, but was smaller when its backup began";
}

juce::String ZipArchiveEntry::describeNameTooLong (const juce::File& file)
{
    return "the name of " + file.getFullPathName() + " is longer than a ZIP entry name can be";
}

int ZipArchiveEntry::getNameSizeInBytes() const
{
    return (int) nameBytes.size();
}

void ZipArchiveEntry::prepareHeader()
{
    signature = localHeaderSignature;
    // A name that is not UTF-8 is stored as its bytes, without the flag
    // that would call it UTF-8: a Unix unzip gives the same name back.
    flags = isPlainAscii (nameBytes) || ! FileNameText::isValidUtf8 (nameBytes) ? 0 : languageEncodingFlag;
    method = 0;
    crc = 0;

    const auto size = sourceState ? (juce::int64) sourceState->size : sourceFile.getSize();
    zip64Local = size > maxZip32Value;
    versionNeeded = zip64Local ? zip64Version : 0;
    extraLength = zip64Local ? 20 : 0; // id, length and the two sizes

    const auto modified = clampToDosRange (sourceState ? juce::Time (sourceState->modifiedSeconds * 1000 + sourceState->modifiedNanoseconds / 1000000)
                                                       : sourceFile.getLastModificationTime());
    modDate = toDosDate (modified);
    modTime = toDosTime (modified);

    // A longer name is refused before anything is written.
    nameLength = (juce::uint16) juce::jmin (getNameSizeInBytes(), maxNameBytes);

    // Only a first guess: both sizes are patched with the bytes actually copied.
    dataSize = size;
    uncompressedSize = compressedSize = zip64Local ? zip64Marker : (juce::uint32) size;
}

bool ZipArchiveEntry::needsZip64() const
{
    return zip64Local || ! fitsZip32 (dataSize) || ! fitsZip32 (headerOffset);
}

juce::Result ZipArchiveEntry::writeLocalEntry (juce::OutputStream& out)
{
    Loaded loaded;
    load (loaded);
    return writeLocalEntry (loaded, out);
}

void ZipArchiveEntry::load (Loaded& loaded) const
{
    // Opened without blocking and checked after opening: files that have gone,
    // turned into folders, FIFOs or devices are left out of the backup (the
    // run then reports them), never waited for.
    loaded.source.reset();
    loaded.bytes.clear();
    loaded.whole = false;
    loaded.source = opener ? opener() : std::make_unique<RegularFileInputStream> (sourceFile);
    if (loaded.source->getStatus().wasOk())
        loaded.whole = readWhole (*loaded.source, (juce::int64) loaded.source->getState().size, loaded.bytes);
    if (loaded.whole)
        loaded.crc = checksumOf (loaded.bytes);
}

juce::Result ZipArchiveEntry::writeLocalEntry (Loaded& loaded, juce::OutputStream& out)
{
    written = false;
    sourceState.reset();
    if (loaded.source == nullptr)
        return writeLocalEntry (out);

    auto& source = *loaded.source;
    if (source.getStatus().failed())
    {
        if (source.wasMissing() || source.wasNotRegular() || (! opener && sourceFile.isDirectory()))
            return juce::Result::ok();

        // It is there but we cannot have it: the run must not change a file
        // it could not back up.
        return juce::Result::fail (describeUnreadable (sourceFile, source.getStatus()));
    }

    sourceState = source.getState();
    externalAttributes = (juce::uint32) (source.getMode() & 0xFFFF) << 16;

    juce::Result result = juce::Result::ok();
    if (loaded.whole)
        result = writeWholeEntry (loaded.bytes, loaded.crc, out);
    else
    {
        ReadAheadInputStream readAhead (source, readAheadSize);
        result = writeStreamedEntry (readAhead, loaded.bytes, out);
    }

    // A read error ends the copy like the end of the file would; only the
    // stream's status tells them apart.
    if (result.wasOk() && source.getStatus().failed())
    {
        written = false;
        return juce::Result::fail (describeUnreadable (sourceFile, source.getStatus()));
    }

    return result;
}

juce::Result ZipArchiveEntry::writeLocalEntry (juce::InputStream& source, juce::OutputStream& out)
{
    // A small file is read whole before its header goes out, which is then
    // written complete: patching it afterwards would cost the buffered
    // stream below a seek back and two more writes whenever the buffer had
    // been emptied in between.
    std::string head;
    if (readWhole (source, sourceState ? (juce::int64) sourceState->size : sourceFile.getSize(), head))
        return writeWholeEntry (head, checksumOf (head), out);
    return writeStreamedEntry (source, head, out);
}

juce::Result ZipArchiveEntry::beginEntry (juce::OutputStream& out)
{
    written = false;
    prepareHeader();

    if (getNameSizeInBytes() > maxNameBytes)
        return juce::Result::fail (describeNameTooLong (sourceFile));

    headerOffset = out.getPosition();
    return juce::Result::ok();
}

juce::Result ZipArchiveEntry::writeStreamedEntry (juce::InputStream& source, const std::string& head, juce::OutputStream& out)
{
    if (const auto begun = beginEntry (out); begun.failed())
        return begun;

    if (! writeLocalHeader (out) || ! writeName (out))
        return juce::Result::fail (writeFailedMessage);

    // The sizes are not known yet: zeros now, patched after the copy.
    if (zip64Local && ! (write16 (out, zip64ExtraId) && write16 (out, 16) && write64 (out, 0) && write64 (out, 0)))
        return juce::Result::fail (writeFailedMessage);

    const auto dataStart = out.getPosition();
    const auto copied = copyData (source, out, head);

    if (copied.failed())
        return copied;

    const auto end = out.getPosition();

    if (end - dataStart != dataSize || ! patchHeader (out, end))
        return juce::Result::fail (writeFailedMessage);

    written = true;
    return juce::Result::ok();
}

bool ZipArchiveEntry::writeSharedFields (juce::OutputStream& out, juce::uint32 size32, juce::uint16 extraBytes) const
{
    // From the flags to the extra field length, both records hold the same
    // fields; only the sizes and the extra field can differ.
    return write16 (out, flags)
        && write16 (out, method)
        && write16 (out, modTime)
        && write16 (out, modDate)
        && write32 (out, crc)
        && write32 (out, size32)
        && write32 (out, size32)
        && write16 (out, nameLength)
        && write16 (out, extraBytes);
}

bool ZipArchiveEntry::writeLocalHeader (juce::OutputStream& out) const
{
    return write32 (out, signature)
        && write16 (out, versionNeeded)
        && writeSharedFields (out, compressedSize, extraLength);
}

bool ZipArchiveEntry::writeName (juce::OutputStream& out) const
{
    return out.write (nameBytes.data(), (size_t) nameLength);
}

bool ZipArchiveEntry::readWhole (juce::InputStream& source, juce::int64 expectedSize, std::string& bytes)
{
    if (expectedSize < 0 || expectedSize > wholeReadLimit)
        return false;

    // One byte more than expected tells a file that grew from one that did not.
    bytes.resize ((size_t) expectedSize + 1);
    size_t got = 0;
    while (got < bytes.size())
    {
        const auto numRead = source.read (bytes.data() + got, (int) (bytes.size() - got));
        if (numRead <= 0)
        {
            bytes.resize (got);
            return true;
        }
        got += (size_t) numRead;
    }
    return false; // it grew: the rest is copied after it
}

juce::uint32 ZipArchiveEntry::checksumOf (const std::string& bytes)
{
    return (juce::uint32) crc32 (crc32 (0L, Z_NULL, 0), reinterpret_cast<const Bytef*> (bytes.data()), (uInt) bytes.size());
}

juce::Result ZipArchiveEntry::writeWholeEntry (const std::string& bytes, juce::uint32 checksum, juce::OutputStream& out)
{
    if (const auto begun = beginEntry (out); begun.failed())
        return begun;

    crc = checksum;
    dataSize = (juce::int64) bytes.size();
    compressedSize = uncompressedSize = (juce::uint32) bytes.size();
    if (! writeLocalHeader (out) || ! writeName (out) || ! out.write (bytes.data(), bytes.size()))
        return juce::Result::fail (writeFailedMessage);

    written = true;
    return juce::Result::ok();
}

juce::Result ZipArchiveEntry::copyData (juce::InputStream& source, juce::OutputStream& out, const std::string& head)
{
    char buffer[copyBufferSize];
    auto checksum = crc32 (0L, Z_NULL, 0);
    juce::int64 total = 0;

    if (! head.empty())
    {
        checksum = crc32 (checksum, reinterpret_cast<const Bytef*> (head.data()), (uInt) head.size());
        total = (juce::int64) head.size();
        if (! out.write (head.data(), head.size()))
            return juce::Result::fail (writeFailedMessage);
    }

    // Without ZIP64 sizes in the local header, the copy must stay below 4 GiB.
    const auto limit = zip64Local ? std::numeric_limits<juce::int64>::max() : maxZip32Value;

    // Stop at the first read that yields nothing: a file that shrank, stalled
    // or failed would otherwise never look exhausted and the loop would spin.
    for (;;)
    {
        const auto numRead = source.read (buffer, copyBufferSize);

        if (numRead <= 0)
            break;

        total += numRead;

        // A file that keeps growing is cut off where its header ends.
        if (total > limit)
            return juce::Result::fail (describeTooLarge (sourceFile));

        checksum = crc32 (checksum, reinterpret_cast<const Bytef*> (buffer), (uInt) numRead);

        if (! out.write (buffer, (size_t) numRead))
            return juce::Result::fail (writeFailedMessage);
    }

    crc = (juce::uint32) checksum;
    dataSize = total;
    // Stored: the two sizes are the same by definition.
    compressedSize = uncompressedSize = zip64Local ? zip64Marker : (juce::uint32) total;
    return juce::Result::ok();
}

bool ZipArchiveEntry::patchHeader (juce::OutputStream& out, juce::int64 end) const
{
    // CRC-32, compressed size and uncompressed size lie side by side at offset
    // 14; ZIP64 sizes after the name, past the extra field's id and length.
    return out.setPosition (headerOffset + 14)
        && write32 (out, crc)
        && write32 (out, compressedSize)
        && write32 (out, uncompressedSize)
        && (! zip64Local || (out.setPosition (headerOffset + localHeaderSize + nameLength + 4) && write64 (out, dataSize) && write64 (out, dataSize)))
        && out.setPosition (end);
}

juce::uint16 ZipArchiveEntry::centralExtraLength() const
{
    if (! needsZip64())
        return 0;
    const bool sizes = zip64Local || ! fitsZip32 (dataSize);
    return (juce::uint16) (4 + (sizes ? 16 : 0) + (fitsZip32 (headerOffset) ? 0 : 8));
}

bool ZipArchiveEntry::writeCentralExtra (juce::OutputStream& out) const
{
    if (! needsZip64())
        return true;

    // Only the fields whose 32-bit place holds the marker, in this order.
    const bool sizes = zip64Local || ! fitsZip32 (dataSize);
    return write16 (out, zip64ExtraId)
        && write16 (out, (juce::uint16) (centralExtraLength() - 4))
        && (! sizes || (write64 (out, dataSize) && write64 (out, dataSize)))
        && (fitsZip32 (headerOffset) || write64 (out, headerOffset));
}

bool ZipArchiveEntry::writeCentralEntry (juce::OutputStream& out)
{
    if (! written)
        return false;

    const bool zip64 = needsZip64();
    const bool sizes = zip64Local || ! fitsZip32 (dataSize);
    const auto neededVersion = zip64 ? zip64Version : (juce::uint16) 2;

    return write32 (out, centralHeaderSignature)
        && write16 (out, (juce::uint16) (madeByUnix | versionNeeded))
        && write16 (out, neededVersion)
        && writeSharedFields (out, sizes ? zip64Marker : (juce::uint32) dataSize, centralExtraLength())
        && write16 (out, 0) // file comment length
        && write16 (out, 0) // disk number start
        && write16 (out, 0) // internal file attributes
        && write32 (out, externalAttributes)
        && write32 (out, fieldFor (headerOffset))
        && writeName (out)
        && writeCentralExtra (out);
}
