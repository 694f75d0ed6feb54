#pragma once

// Helpers for the archive tests: scratch folders, and a reader of the raw
// records that follows the ZIP tables byte by byte, independent of the writer.

#include "ZipArchiveWriter.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace ziptest
{
    /** A fresh folder in a parent of its own under the temp directory (see
        TestFolder), removed with its contents. */
    struct TempFolder
    {
        juce::File file (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

        juce::File write (const juce::String& relativePath, const std::string& content) const
        {
            auto f = file (relativePath);
            f.getParentDirectory().createDirectory();
            f.deleteFile();
            f.create(); // replaceWithData() would delete the file for empty content
            f.appendData (content.data(), content.size());
            return f;
        }

    private:
        TestFolder scratch { "quillmere-archive-test" };

    public:
        juce::File folder { scratch.get() };
    };

    inline std::string readAll (const juce::File& file)
    {
        juce::MemoryBlock data;
        file.loadFileAsData (data);
        return std::string (static_cast<const char*> (data.getData()), data.getSize());
    }

    inline juce::uint32 zlibCrc (const std::string& bytes)
    {
        return (juce::uint32) crc32 (crc32 (0L, Z_NULL, 0),
                                     reinterpret_cast<const Bytef*> (bytes.data()), (uInt) bytes.size());
    }

    /** Bytes from 0 to 255 and back, so that zeros and high bytes are covered. */
    inline std::string binaryContent (size_t size, unsigned seed)
    {
        std::string s (size, '\0');
        for (size_t i = 0; i < size; ++i)
            s[i] = (char) ((i * 7 + seed) & 0xFF);
        return s;
    }

    struct LocalRecord
    {
        juce::uint32 signature = 0, crc = 0, compressedSize = 0, uncompressedSize = 0;
        juce::uint16 versionNeeded = 0, flags = 0, method = 0, modTime = 0, modDate = 0, extraLength = 0;
        std::string name, data;
    };

    struct CentralRecord
    {
        juce::uint32 signature = 0, crc = 0, compressedSize = 0, uncompressedSize = 0,
                     externalAttributes = 0, headerOffset = 0;
        juce::uint16 versionMadeBy = 0, versionNeeded = 0, flags = 0, method = 0, modTime = 0, modDate = 0,
                     extraLength = 0, commentLength = 0, diskStart = 0, internalAttributes = 0;
        std::string name;
        LocalRecord local; // the local record headerOffset points at
    };

    struct RawArchive
    {
        juce::uint32 endSignature = 0, centralSize = 0, centralStart = 0;
        juce::uint16 disk = 0, centralDisk = 0, recordsOnDisk = 0, records = 0, commentLength = 0;
        std::vector<CentralRecord> entries;
        juce::int64 endOfLastLocalRecord = 0;
    };

    /** Parses an archive that has no archive comment: the end record is the last 22 bytes. */
    class RawReader
    {
    public:
        explicit RawReader (std::string archiveBytes)
            : bytes (std::move (archiveBytes)) {}

        RawArchive read() const
        {
            RawArchive a;
            if (bytes.size() < 22)
                return a;

            const size_t e = bytes.size() - 22;
            a.endSignature = u32 (e);
            a.disk = u16 (e + 4);
            a.centralDisk = u16 (e + 6);
            a.recordsOnDisk = u16 (e + 8);
            a.records = u16 (e + 10);
            a.centralSize = u32 (e + 12);
            a.centralStart = u32 (e + 16);
            a.commentLength = u16 (e + 20);

            size_t p = a.centralStart;
            for (int i = 0; i < a.records && p + 46 <= e; ++i)
            {
                CentralRecord c;
                c.signature = u32 (p);
                c.versionMadeBy = u16 (p + 4);
                c.versionNeeded = u16 (p + 6);
                c.flags = u16 (p + 8);
                c.method = u16 (p + 10);
                c.modTime = u16 (p + 12);
                c.modDate = u16 (p + 14);
                c.crc = u32 (p + 16);
                c.compressedSize = u32 (p + 20);
                c.uncompressedSize = u32 (p + 24);
                const auto nameLength = u16 (p + 28);
                c.extraLength = u16 (p + 30);
                c.commentLength = u16 (p + 32);
                c.diskStart = u16 (p + 34);
                c.internalAttributes = u16 (p + 36);
                c.externalAttributes = u32 (p + 38);
                c.headerOffset = u32 (p + 42);
                c.name = bytes.substr (p + 46, nameLength);
                c.local = readLocal (c.headerOffset);
                a.endOfLastLocalRecord = (juce::int64) (c.headerOffset + 30 + c.local.name.size()
                                                        + c.local.extraLength + c.local.data.size());
                a.entries.push_back (c);
                p += 46 + nameLength + c.extraLength + c.commentLength;
            }

            return a;
        }

        LocalRecord readLocal (size_t p) const
        {
            LocalRecord l;
            if (p + 30 > bytes.size())
                return l;

            l.signature = u32 (p);
            l.versionNeeded = u16 (p + 4);
            l.flags = u16 (p + 6);
            l.method = u16 (p + 8);
            l.modTime = u16 (p + 10);
            l.modDate = u16 (p + 12);
            l.crc = u32 (p + 14);
            l.compressedSize = u32 (p + 18);
            l.uncompressedSize = u32 (p + 22);
            const auto nameLength = u16 (p + 26);
            l.extraLength = u16 (p + 28);
            l.name = bytes.substr (p + 30, nameLength);
            l.data = bytes.substr (p + 30 + nameLength + l.extraLength, l.compressedSize);
            return l;
        }

    private:
        juce::uint16 u16 (size_t p) const
        {
            return p + 2 > bytes.size() ? 0 : (juce::uint16) (byte (p) | byte (p + 1) << 8);
        }

        juce::uint32 u32 (size_t p) const
        {
            return p + 4 > bytes.size() ? 0 : (juce::uint32) u16 (p) | (juce::uint32) u16 (p + 2) << 16;
        }

        juce::uint32 byte (size_t p) const { return (juce::uint8) bytes[p]; }

        std::string bytes;
    };

    inline RawArchive readRaw (const juce::File& archive)
    {
        return RawReader (readAll (archive)).read();
    }

    struct ReadBack
    {
        juce::String name;
        std::string data;
        juce::Time time;
    };

    /** Every entry as juce::ZipFile, a reader written by others, sees it. */
    inline std::vector<ReadBack> readWithZipFile (const juce::File& archive)
    {
        juce::ZipFile zip (archive);
        std::vector<ReadBack> result;

        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            ReadBack r { zip.getEntry (i)->filename, {}, zip.getEntry (i)->fileTime };
            std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (i));
            if (in != nullptr)
            {
                juce::MemoryBlock block;
                in->readIntoMemoryBlock (block);
                r.data.assign (static_cast<const char*> (block.getData()), block.getSize());
            }
            result.push_back (r);
        }

        return result;
    }

    /** The archive is refused for reason, and nothing is left at its name. */
    inline void expectRefusedWithoutArchive (ZipArchiveWriter& writer, const juce::File& target, const juce::String& reason)
    {
        EXPECT_FALSE (writer.writeToFile (target));
        EXPECT_FALSE (target.exists()) << "an incomplete archive was left behind";
        EXPECT_TRUE (writer.getLastError().contains (reason))
            << "error: " << writer.getLastError() << "\nexpected to contain: " << reason;
    }

    /** An output stream that accepts its first `capacity` bytes and refuses the rest. */
    class FailingOutputStream : public juce::OutputStream
    {
    public:
        explicit FailingOutputStream (juce::int64 capacityInBytes)
            : capacity (capacityInBytes) {}

        void flush() override {}
        juce::int64 getPosition() override { return inner.getPosition(); }
        bool setPosition (juce::int64 position) override { return inner.setPosition (position); }

        bool write (const void* data, size_t numBytes) override
        {
            if (inner.getPosition() + (juce::int64) numBytes > capacity)
                return false;
            return inner.write (data, numBytes);
        }

    private:
        juce::int64 capacity;
        juce::MemoryOutputStream inner;
    };
}
