#pragma once

#include "JucePrinters.h"

#include <juce_core/juce_core.h>

#include <string>

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TestFolder
{
public:
    TestFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("quillmere-test", "", false))
    {
        folder.createDirectory();
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
