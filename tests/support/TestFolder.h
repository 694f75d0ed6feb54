#pragma once

#include "JucePrinters.h"

#include <juce_core/juce_core.h>

#include <filesystem>
#include <string>
#include <system_error>

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TestFolder
{
public:
    TestFolder()
        : folder (createUniqueFolder ("quillmere-test")) {}

    /** A new folder that no other test, in this process or another one running
        at the same time, can be handed: it is created exclusively. */
    static juce::File createUniqueFolder (const juce::String& prefix)
    {
        const auto temporary = juce::File::getSpecialLocation (juce::File::tempDirectory);
        juce::Random random;
        for (;;)
        {
            const auto candidate = temporary.getChildFile (prefix + "-" + juce::String::toHexString (random.nextInt64()));
            std::error_code error;
            if (std::filesystem::create_directory (candidate.getFullPathName().toStdString(), error))
                return candidate;
        }
    }

    ~TestFolder()
    {
        makeWritable (folder);
        folder.deleteRecursively();
    }

    const juce::File& get() const { return folder; }
    juce::String path() const { return folder.getFullPathName(); }

    juce::File file (const juce::String& relativePath) const { return folder.getChildFile (relativePath); }

    juce::File write (const juce::String& relativePath, const std::string& bytes) const
    {
        auto target = file (relativePath);
        target.getParentDirectory().createDirectory();
        // Not replaceWithData: it deletes the file when given no bytes.
        juce::FileOutputStream out (target);
        out.setPosition (0);
        out.truncate();
        out.write (bytes.data(), bytes.size());
        return target;
    }

    std::string read (const juce::String& relativePath) const { return readBytes (file (relativePath)); }

    static std::string readBytes (const juce::File& source)
    {
        juce::MemoryBlock block;
        source.loadFileAsData (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }

private:
    static void makeWritable (const juce::File& root)
    {
        root.setReadOnly (false, true);
    }

    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TestFolder)
};
