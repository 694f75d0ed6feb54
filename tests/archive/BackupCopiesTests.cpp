#include "BackupCopies.h"
#include "archive/ZipTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <thread>

using namespace ziptest;

namespace
{
    /** Copies laid end to end in one file, as a backup stores them, with a
        header's worth of other bytes between them. */
    struct StoredCopies
    {
        TempFolder temp;
        std::string archiveBytes;
        std::vector<BackupCopies::Copy> copies;

        explicit StoredCopies (const std::vector<size_t>& sizes)
        {
            for (size_t i = 0; i < sizes.size(); ++i)
            {
                archiveBytes += binaryContent (30 + i % 7, (unsigned) i + 1000);
                const auto content = binaryContent (sizes[i], (unsigned) i);
                const auto crc = (juce::uint32) crc32_z (crc32 (0, nullptr, 0), reinterpret_cast<const Bytef*> (content.data()), content.size());
                copies.push_back ({ (juce::int64) archiveBytes.size(), (juce::int64) content.size(), crc, {} });
                archiveBytes += content;
            }
            temp.write ("backup.zip", archiveBytes);
        }

        BackupCopies open() const
        {
            return BackupCopies (FileDescriptor::openForReading (temp.file ("backup.zip")));
        }

        std::string expected (const BackupCopies::Copy& copy) const
        {
            return archiveBytes.substr ((size_t) copy.offset, (size_t) copy.size);
        }
    };

    std::vector<size_t> mixedSizes()
    {
        // Small ones that fill several windows, empty ones, ones on either
        // side of the largest taken through the window, and one larger than it.
        std::vector<size_t> sizes;
        for (size_t i = 0; i < 120; ++i)
            sizes.push_back (i % 11 == 0 ? 0 : i * 7919 % 40000);
        for (const size_t around : { BackupCopies::windowSize / 4 - 1, BackupCopies::windowSize / 4, BackupCopies::windowSize / 4 + 1,
                                     BackupCopies::windowSize + 3 })
            sizes.push_back (around);
        sizes.push_back (17);
        return sizes;
    }
}

// Read in the order stored (by two threads taking turns, as a run's
// read-ahead does) or backwards, every copy comes out as its own bytes.
TEST (BackupCopies, EveryCopyReadsAsItsOwnBytesInAnyOrder)
{
    const StoredCopies stored (mixedSizes());
    for (const bool backwards : { false, true })
    {
        const auto copies = stored.open();
        std::vector<std::string> read (stored.copies.size());
        std::vector<int> failed (stored.copies.size(), 0);
        const auto readEvery = [&] (size_t first) {
            for (size_t n = first; n < stored.copies.size(); n += 2)
            {
                const auto i = backwards ? stored.copies.size() - 1 - n : n;
                failed[i] = copies.read (stored.copies[i], read[i]).failed() ? 1 : 0;
            }
        };
        std::thread other (readEvery, 1);
        readEvery (0);
        other.join();

        for (size_t i = 0; i < stored.copies.size(); ++i)
        {
            EXPECT_EQ (failed[i], 0) << "copy " << i << (backwards ? " backwards" : "");
            EXPECT_TRUE (read[i] == stored.expected (stored.copies[i])) << "copy " << i << (backwards ? " backwards" : "");
        }
    }
}

// A copy whose bytes changed in the archive, or that reaches past its end,
// fails, through the window or not.
TEST (BackupCopies, ADamagedOrCutCopyFails)
{
    const StoredCopies stored ({ 100, BackupCopies::windowSize, 200 });
    const auto copies = stored.open();
    for (const auto& copy : stored.copies)
    {
        auto damaged = copy;
        damaged.crc ^= 1;
        auto cut = copy;
        cut.offset = (juce::int64) stored.archiveBytes.size() - copy.size / 2;
        for (const auto& bad : { damaged, cut })
        {
            std::string bytes = "old";
            EXPECT_TRUE (copies.read (bad, bytes).failed()) << copy.size;
        }
        std::string bytes;
        EXPECT_TRUE (copies.read (copy, bytes).wasOk()) << copy.size;
        EXPECT_TRUE (bytes == stored.expected (copy)) << copy.size;
    }
}
