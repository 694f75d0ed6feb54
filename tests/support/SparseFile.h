#pragma once

#include <juce_core/juce_core.h>

#if JUCE_WINDOWS
#include <windows.h>
#include <winioctl.h>
#endif

#include <algorithm>
#include <memory>

/** A file whose runs of zeros are holes that take no disk, so that a test
    may hand a program gigabytes without writing them. POSIX file systems
    leave a hole wherever nothing was written; NTFS only in a file marked
    sparse, which create() does. */
struct SparseFile
{
    /** An empty file at the name (replacing one there), ready for holes. */
    static bool create (const juce::File& file)
    {
        file.deleteFile();
        if (! file.create().wasOk())
            return false;
#if JUCE_WINDOWS
        const auto handle = CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        DWORD returned = 0;
        const bool sparse = DeviceIoControl (handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
        CloseHandle (handle);
        return sparse;
#else
        return true;
#endif
    }

    /** A file of size bytes that are zeros but for tail at the end. */
    static bool withTail (const juce::File& file, juce::int64 size, const std::string& tail)
    {
        if (! create (file))
            return false;
        juce::FileOutputStream out (file);
        return out.openedOk() && out.setPosition (size - (juce::int64) tail.size()) && out.write (tail.data(), tail.size());
    }
};

/** Writes into a sparse file: blocks of zeros are skipped, so an archive of
    more than 4 GiB of zeros takes almost no disk. */
class SparseFileOutputStream : public juce::OutputStream
{
public:
    explicit SparseFileOutputStream (const juce::File& file)
    {
        if (SparseFile::create (file))
            out = std::make_unique<juce::FileOutputStream> (file);
    }

    ~SparseFileOutputStream() override
    {
        // The holes at the end need the file's length set; the ones inside are there already.
        if (out != nullptr && out->setPosition (end))
            out->truncate();
    }

    bool openedOk() const { return out != nullptr && out->openedOk(); }

    bool write (const void* data, size_t size) override
    {
        if (! openedOk())
            return false;
        const auto* bytes = static_cast<const char*> (data);
        const bool zeros = std::all_of (bytes, bytes + size, [] (char c) { return c == 0; });
        bool ok = true;
        if (! zeros || size < 512)
            ok = out->setPosition (position) && out->write (data, size);
        position += (juce::int64) size;
        end = std::max (end, position);
        return ok;
    }

    void flush() override
    {
        if (out != nullptr)
            out->flush();
    }

    bool setPosition (juce::int64 newPosition) override
    {
        position = newPosition;
        return true;
    }

    juce::int64 getPosition() override { return position; }

private:
    std::unique_ptr<juce::FileOutputStream> out;
    juce::int64 position = 0, end = 0;
};
