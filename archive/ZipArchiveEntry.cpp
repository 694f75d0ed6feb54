#include "ZipArchiveEntry.h"

#include "ReadAheadInputStream.h"

#include <zlib.h>

namespace
{
    // MS-DOS time stamps cover 1980 to 2107 in local time; a time outside that
    // range is pinned to the nearest end rather than wrapped into a wrong year.
    juce::Time clampToDosRange (juce::Time time)
    {
        const juce::Time earliest (1980, 0, 1, 0, 0, 0, 0, true);
        const juce::Time latest (2107, 11, 31, 23, 59, 58, 0, true);

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

    bool isPlainAscii (const juce::String& text)
    {
        return text.getNumBytesAsUTF8() == (size_t) text.length();
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

    juce::String describeUnreadable (const juce::File& file, const juce::Result& status)
    {
        auto text = "cannot read " + file.getFullPathName();
        if (status.failed())
            text << " (" << status.getErrorMessage() << ")";
        return text;
    }
}

ZipArchiveEntry::ZipArchiveEntry (const juce::File& file, const juce::String& name)
    : sourceFile (file), storedName (name)
{
}

juce::String ZipArchiveEntry::describeTooLarge (const juce::File& file)
{
    return file.getFullPathName() + " is 4 GiB or larger: not supported without ZIP64";
}

juce::String ZipArchiveEntry::describeNameTooLong (const juce::File& file)
{
    return "the name of " + file.getFullPathName() + " is longer than a ZIP entry name can be";
}

int ZipArchiveEntry::getNameSizeInBytes() const
{
    return (int) storedName.getNumBytesAsUTF8();
}

void ZipArchiveEntry::prepareHeader()
{
    signature = localHeaderSignature;
    versionNeeded = 0;
    flags = isPlainAscii (storedName) ? 0 : languageEncodingFlag;
    method = 0;
    extraLength = 0;
    crc = 0;
    compressedSize = 0;

    const auto modified = clampToDosRange (sourceFile.getLastModificationTime());
    modDate = toDosDate (modified);
    modTime = toDosTime (modified);

    // A longer name is refused before anything is written.
    nameLength = (juce::uint16) juce::jmin (getNameSizeInBytes(), maxNameBytes);

    // Only a first guess: both sizes are patched with the bytes actually copied.
    uncompressedSize = (juce::uint32) (sourceFile.getSize() & 0xFFFFFFFF);
}

juce::Result ZipArchiveEntry::writeLocalEntry (juce::OutputStream& out)
{
    written = false;

    // Files that have gone, or turned into folders, are left out on purpose.
    if (! sourceFile.existsAsFile())
        return juce::Result::ok();

    juce::FileInputStream source (sourceFile);

    if (source.failedToOpen())
    {
        if (! sourceFile.existsAsFile())
            return juce::Result::ok();   // deleted between the check and the open

        // It is there but we cannot have it: the run must not change a file
        // it could not back up.
        return juce::Result::fail (describeUnreadable (sourceFile, source.getStatus()));
    }

    ReadAheadInputStream readAhead (source, readAheadSize);
    const auto result = writeLocalEntry (readAhead, out);

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
    written = false;
    prepareHeader();

    if (getNameSizeInBytes() > maxNameBytes)
        return juce::Result::fail (describeNameTooLong (sourceFile));

    if (sourceFile.getSize() > maxZip32Value)
        return juce::Result::fail (describeTooLarge (sourceFile));

    headerOffset = out.getPosition();

    if (! fitsZip32 (headerOffset))
        return juce::Result::fail (archiveTooLargeMessage);

    if (! writeLocalHeader (out) || ! writeName (out))
        return juce::Result::fail (writeFailedMessage);

    const auto dataStart = out.getPosition();
    const auto copied = copyData (source, out);

    if (copied.failed())
        return copied;

    const auto end = out.getPosition();

    if (end - dataStart != (juce::int64) compressedSize || ! patchHeader (out, end))
        return juce::Result::fail (writeFailedMessage);

    written = true;
    return juce::Result::ok();
}

bool ZipArchiveEntry::writeSharedFields (juce::OutputStream& out) const
{
    // From the flags to the extra field length, both records hold the same fields.
    return write16 (out, flags)
        && write16 (out, method)
        && write16 (out, modTime)
        && write16 (out, modDate)
        && write32 (out, crc)
        && write32 (out, compressedSize)
        && write32 (out, uncompressedSize)
        && write16 (out, nameLength)
        && write16 (out, extraLength);
}

bool ZipArchiveEntry::writeLocalHeader (juce::OutputStream& out) const
{
    return write32 (out, signature)
        && write16 (out, versionNeeded)
        && writeSharedFields (out);
}

bool ZipArchiveEntry::writeName (juce::OutputStream& out) const
{
    return out.write (storedName.toRawUTF8(), (size_t) nameLength);
}

juce::Result ZipArchiveEntry::copyData (juce::InputStream& source, juce::OutputStream& out)
{
    char buffer[copyBufferSize];
    auto checksum = crc32 (0L, Z_NULL, 0);
    juce::int64 total = 0;

    // Stop at the first read that yields nothing: a file that shrank, stalled
    // or failed would otherwise never look exhausted and the loop would spin.
    for (;;)
    {
        const auto numRead = source.read (buffer, copyBufferSize);

        if (numRead <= 0)
            break;

        total += numRead;

        // A file that keeps growing is cut off where the format ends.
        if (total > maxZip32Value)
            return juce::Result::fail (describeTooLarge (sourceFile));

        checksum = crc32 (checksum, reinterpret_cast<const Bytef*> (buffer), (uInt) numRead);

        if (! out.write (buffer, (size_t) numRead))
            return juce::Result::fail (writeFailedMessage);
    }

    crc = (juce::uint32) checksum;
    compressedSize = (juce::uint32) total;
    uncompressedSize = compressedSize;   // stored: the two are the same by definition
    return juce::Result::ok();
}

bool ZipArchiveEntry::patchHeader (juce::OutputStream& out, juce::int64 end) const
{
    // CRC-32, compressed size and uncompressed size lie side by side at offset 14.
    return out.setPosition (headerOffset + 14)
        && write32 (out, crc)
        && write32 (out, compressedSize)
        && write32 (out, uncompressedSize)
        && out.setPosition (end);
}

bool ZipArchiveEntry::writeCentralEntry (juce::OutputStream& out)
{
    if (! written)
        return false;

    return write32 (out, centralHeaderSignature)
        && write16 (out, versionNeeded)     // version made by
        && write16 (out, 2)                 // version needed to extract
        && writeSharedFields (out)
        && write16 (out, 0)                 // file comment length
        && write16 (out, 0)                 // disk number start
        && write16 (out, 0)                 // internal file attributes
        && write32 (out, 0)                 // external file attributes
        && write32 (out, (juce::uint32) headerOffset)
        && writeName (out);
}
