#pragma once

#include "JucePrinters.h"

#include <juce_core/juce_core.h>

#include <map>

#include <filesystem>
#include <string>
#include <system_error>

/** A fresh folder, removed with everything in it. It lies in a parent folder of
    its own under the system's temporary folder, so that a test may judge what
    lands next to its folder without seeing what other programs left there. Both
    are open to every user (0755), so that a test may hand its folder to another. */
class TestFolder
{
public:
    explicit TestFolder (const juce::String& prefix = "quillmere-test")
        : parent (createUniqueFolder (prefix)),
          folder (parent.getChildFile ("scratch"))
    {
        std::filesystem::create_directory (folder.getFullPathName().toStdString());
        openToEveryone (folder);
    }

    /** A new folder that no other test, in this process or another one running
        at the same time, can be handed: it is created exclusively, mode 0755. */
    static juce::File createUniqueFolder (const juce::String& prefix)
    {
        const auto temporary = juce::File::getSpecialLocation (juce::File::tempDirectory);
        juce::Random random;
        for (;;)
        {
            const auto candidate = temporary.getChildFile (prefix + "-" + juce::String::toHexString (random.nextInt64()));
            std::error_code error;
            if (std::filesystem::create_directory (candidate.getFullPathName().toStdString(), error))
            {
                openToEveryone (candidate);
                return candidate;
            }
        }
    }

    ~TestFolder()
    {
        makeWritable (parent);
        parent.deleteRecursively();
    }

    const juce::File& get() const { return folder; }

    /** The folder's parent: made by this test and holding nothing but the folder. */
    const juce::File& privateParent() const { return parent; }

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

    /** The bytes of every XML file below the folder, by relative path. */
    std::map<juce::String, std::string> xmlContents() const
    {
        std::map<juce::String, std::string> contents;
        for (const auto& xml : get().findChildFiles (juce::File::findFiles, true, "*.xml"))
            contents[xml.getRelativePathFrom (get())] = readBytes (xml);
        return contents;
    }

    static std::string readBytes (const juce::File& source)
    {
        juce::MemoryBlock block;
        source.loadFileAsData (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }

private:
    static void openToEveryone (const juce::File& created)
    {
        namespace fs = std::filesystem;
        std::error_code ignored; // whatever the umask took away
        fs::permissions (created.getFullPathName().toStdString(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec, ignored);
    }

    static void makeWritable (const juce::File& root)
    {
        root.setReadOnly (false, true);
    }

    juce::File parent, folder;

    JUCE_DECLARE_NON_COPYABLE (TestFolder)
};
