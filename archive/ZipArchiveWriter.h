#pragma once

#include "ZipArchiveEntry.h"

#include <functional>
#include <string>

/**
    Writes a list of files into a new ZIP archive in one pass, every file
    stored uncompressed, in the order the entries were added.

    Files that are missing when the archive is written (or have become
    folders, FIFOs or devices) are left out. Anything else that keeps a file
    from being backed up completely, or keeps the archive from being written
    completely, fails the whole archive: the caller must not change files it
    holds no backup of. ZIP64 records are written when there are more than
    65535 entries or a size or offset reaches 4 GiB, and only then.
*/
class ZipArchiveWriter
{
public:
    ZipArchiveWriter();
    ~ZipArchiveWriter();

    /** Adds a file to be stored under storedName. Nothing is read here. */
    void addEntry (const juce::File& sourceFile, const juce::String& storedName);

    /** Adds a file that opener opens (sourceFile names it in messages). */
    void addEntry (const juce::File& sourceFile, const juce::String& storedName, ZipArchiveEntry::SourceOpener opener);

    /** Writes the archive to target, replacing a file of that name.
        Returns false, leaving no file at target, when the archive could not be
        written completely; getLastError() then says why. */
    bool writeToFile (const juce::File& target);

    /** Writes the archive to out, from its current position (the recorded
        offsets are positions in out). out must support setPosition(). */
    bool writeTo (juce::OutputStream& out);

    /** The archive's comment (what `unzip -z` shows), as UTF-8 bytes. The
        format holds at most 65535 bytes: a longer text is cut there, at the
        start of a character, never inside one. Control characters other
        than line feeds and tabs are written as '?'. */
    void setComment (const std::string& utf8Text);

    static constexpr size_t maxCommentBytes = 0xFFFF;

    /** Asked before each entry, with how many of them are stored so far (for
        progress); true ends the write with a failure ("cancelled"). */
    std::function<bool (int entriesStored, int entriesTotal)> shouldStop;

    /** One line saying why the last write failed; empty after a success. */
    const juce::String& getLastError() const;

    void clear();
    int getNumEntries() const;

    /** Entry i, as added, and once written, where and what it stored. */
    const ZipArchiveEntry& getEntry (int index) const { return *entries.getUnchecked (index); }

    static constexpr juce::uint32 endRecordSignature = 0x06054B50;
    static constexpr juce::uint32 zip64EndRecordSignature = 0x06064B50;
    static constexpr juce::uint32 zip64LocatorSignature = 0x07064B50;
    static constexpr int endRecordSize = 22;
    static constexpr size_t outputBufferSize = 1 << 18;
    static constexpr int maxEntriesWithoutZip64 = 0xFFFF;

private:
    juce::Result checkFormatLimits() const;
    juce::Result writeLocalEntries (juce::OutputStream& out);
    juce::Result writeCentralDirectory (juce::OutputStream& out, int& count);
    juce::Result writeEndRecords (juce::OutputStream& out, int count,
                                  juce::int64 centralStart, juce::int64 centralSize);
    juce::Result writeArchive (juce::OutputStream& out);
    bool fail (const juce::String& reason);

    juce::OwnedArray<ZipArchiveEntry> entries;
    std::string comment;
    juce::String lastError;

    JUCE_DECLARE_NON_COPYABLE (ZipArchiveWriter)
};
