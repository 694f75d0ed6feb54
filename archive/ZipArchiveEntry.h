#pragma once

#include "FileState.h"
#include "RegularFileInputStream.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

/**
    One file of a backup archive: the file on disk, the name it is stored
    under, and the in-memory image of its ZIP local file header (the first
    eleven fields, in the order they are written).

    The data is always stored uncompressed. The header is filled by
    prepareHeader() and completed after the copy with the checksum and the
    number of bytes actually copied, so a file that changes size while it is
    read still gives a consistent record. Sizes and offsets of 4 GiB or more
    go into ZIP64 extra fields.
*/
class ZipArchiveEntry
{
public:
    /** Opens the source for reading; its status says why it could not. */
    using SourceOpener = std::function<std::unique_ptr<RegularFileInputStream>()>;

    /** opener, when given, opens the source (by descriptor, say) instead of
        opening sourceFile by name; sourceFile then only names it in messages. */
    ZipArchiveEntry (const juce::File& sourceFile, const juce::String& storedName, SourceOpener opener = {});

    /** Fills the header fields from sourceFile and storedName. */
    void prepareHeader();

    /** Writes the local header, the name and the bytes of sourceFile to out,
        then patches the header with the CRC-32 and the sizes copied.

        Returns ok with written false when sourceFile is missing or is not
        the regular file wanted (nothing is written for it), ok with written true when the record is
        complete, and a failure naming the cause when the file exists but
        cannot be opened or read, the output fails, or a size or offset does
        not fit the 32-bit fields.
    */
    juce::Result writeLocalEntry (juce::OutputStream& out);

    /** As above, but the data comes from source rather than from opening
        sourceFile; the copy ends at the first read that yields no bytes. */
    juce::Result writeLocalEntry (juce::InputStream& source, juce::OutputStream& out);

    /** The source opened and, when small, read whole: what writing the entry
        needs from the file, got ahead of it. Safe to call on another thread
        than the one writing, for an entry that is not being written. */
    struct Loaded
    {
        std::unique_ptr<RegularFileInputStream> source; // none: nothing was done, writing opens it
        std::string bytes;                              // read so far
        bool whole = false;                             // bytes are the whole file
        juce::uint32 crc = 0;                           // of bytes, when whole
    };
    /** Fills loaded, keeping the room its bytes had. */
    void load (Loaded& loaded) const;

    /** Writes the record from what load() got: what writeLocalEntry (out) does. */
    juce::Result writeLocalEntry (Loaded& loaded, juce::OutputStream& out);

    /** Writes the central directory record of a written entry. Returns false
        for an entry that was not written (writing nothing) or when out fails. */
    bool writeCentralEntry (juce::OutputStream& out);

    /** The number of bytes the name takes in the archive (UTF-8). */
    int getNameSizeInBytes() const;

    /** Whether the central record needs ZIP64 fields (a size or the offset too large). */
    bool needsZip64() const;

    /** Where a written entry's bytes start in the archive. */
    juce::int64 getDataOffset() const { return headerOffset + localHeaderSize + nameLength + extraLength; }

    static juce::String describeTooLarge (const juce::File& file);
    static juce::String describeNameTooLong (const juce::File& file);
    static constexpr const char* writeFailedMessage = "write failed (disk full?)";

    static constexpr juce::uint32 localHeaderSignature = 0x04034B50;
    static constexpr juce::uint32 centralHeaderSignature = 0x02014B50;
    static constexpr int localHeaderSize = 30;
    static constexpr int centralHeaderSize = 46;
    static constexpr int copyBufferSize = 1024;
    static constexpr juce::int64 wholeReadLimit = 1 << 17; // a file read whole before its header
    static constexpr size_t readAheadSize = 1 << 16;       // the disk is read in blocks this large

    /** General purpose flag bit 11: the name is UTF-8. */
    static constexpr juce::uint16 languageEncodingFlag = 0x0800;

    /** The largest size or offset a 32-bit field may hold: 0xFFFFFFFF tells
        readers to look for the value in the ZIP64 extra field. */
    static constexpr juce::int64 maxZip32Value = 0xFFFFFFFE;
    static constexpr juce::uint32 zip64Marker = 0xFFFFFFFF;
    static constexpr int maxNameBytes = 0xFFFF;

    /** "Version made by": the host is Unix (3), so readers restore the mode
        in the external attributes and take the UTF-8 flag at its word. */
    static constexpr juce::uint16 madeByUnix = 0x0300;
    static constexpr juce::uint16 zip64Version = 45;
    static constexpr juce::uint16 zip64ExtraId = 0x0001;

    juce::uint32 signature = localHeaderSignature;
    juce::uint16 versionNeeded = 0;
    juce::uint16 flags = 0;
    juce::uint16 method = 0;
    juce::uint16 modTime = 0;
    juce::uint16 modDate = 0;
    juce::uint32 crc = 0;
    juce::uint32 compressedSize = 0;
    juce::uint32 uncompressedSize = 0;
    juce::uint16 nameLength = 0;
    juce::uint16 extraLength = 0;

    /** The file's mode in the high 16 bits, as Unix readers expect it. */
    juce::uint32 externalAttributes = 0;

    /** Bytes stored, in 64 bits; the 32-bit fields above hold the marker when it does not fit. */
    juce::int64 dataSize = 0;

    /** The local header carries ZIP64 sizes: the file was 4 GiB or more when the copy began. */
    bool zip64Local = false;

    juce::File sourceFile;
    juce::String storedName;
    std::string nameBytes; // as the file system has them, for a name that is not UTF-8 too
    SourceOpener opener;

    /** The opened source's state, once it is open: its size and time go into the header. */
    std::optional<FileState> sourceState;

    /** Position of the local header in the archive. Held in 64 bits so that an
        offset past the 32-bit range is caught rather than wrapped. */
    juce::int64 headerOffset = 0;
    bool written = false;

private:
    bool writeSharedFields (juce::OutputStream& out, juce::uint32 size32, juce::uint16 extraBytes) const;
    bool writeCentralExtra (juce::OutputStream& out) const;
    juce::uint16 centralExtraLength() const;
    bool writeLocalHeader (juce::OutputStream& out) const;
    bool writeName (juce::OutputStream& out) const;
    /** Reads a file of at most wholeReadLimit bytes whole: false (with what
        was read) when it is larger or turns out larger than expected. */
    static bool readWhole (juce::InputStream& source, juce::int64 expectedSize, std::string& bytes);
    static juce::uint32 checksumOf (const std::string& bytes);
    /** Prepares the header and notes where the record starts. */
    juce::Result beginEntry (juce::OutputStream& out);
    juce::Result writeWholeEntry (const std::string& bytes, juce::uint32 checksum, juce::OutputStream& out);
    /** Copies the data after head, which was read already, then patches the header. */
    juce::Result writeStreamedEntry (juce::InputStream& source, const std::string& head, juce::OutputStream& out);
    /** Copies the rest of the data after head, which was read already. */
    juce::Result copyData (juce::InputStream& source, juce::OutputStream& out, const std::string& head);
    bool patchHeader (juce::OutputStream& out, juce::int64 end) const;

    JUCE_DECLARE_NON_COPYABLE (ZipArchiveEntry)
};
