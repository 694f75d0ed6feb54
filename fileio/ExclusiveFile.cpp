#include "ExclusiveFile.h"

#include "ProcessFacts.h"

#include <atomic>
#include <cstring>

namespace
{
    constexpr const char* temporaryPrefix = ".quillmere-";
    constexpr const char* temporarySuffix = ".tmp";
}

juce::File ExclusiveFile::numberedName (const juce::File& folder, const juce::String& stem, const juce::String& extension, int number)
{
    return folder.getChildFile (stem + (number > 1 ? "(" + juce::String (number) + ")" : juce::String()) + extension);
}

int ExclusiveFile::firstFreeNumber (const juce::File& folder, const juce::String& stem, const juce::String& extension)
{
    for (int number = 1;; ++number)
        if (const auto candidate = numberedName (folder, stem, extension, number); ! candidate.exists() && ! candidate.isSymbolicLink())
            return number;
}

juce::Result ExclusiveFile::publishNumbered (const juce::File& folder, const juce::String& stem, const juce::String& extension,
                                             juce::File& publishedAs)
{
    const int first = firstFreeNumber (folder, stem, extension);
    return publish ([&] (int attempt) { return numberedName (folder, stem, extension, first + attempt - 1); }, publishedAs);
}

juce::File ExclusiveFile::temporaryName (const juce::File& folder)
{
    return folder.getChildFile (temporaryFileName());
}

juce::String ExclusiveFile::temporaryFileName()
{
    static std::atomic<unsigned> counter { 0 };
    return juce::String (temporaryPrefix) + juce::String (ProcessFacts::processId()) + "-" + juce::String (counter++) + temporarySuffix;
}

bool ExclusiveFile::isLeftover (const juce::File& file)
{
    const auto name = file.getFileName();
    if (! name.startsWith (temporaryPrefix) || ! name.endsWith (temporarySuffix))
        return false;

    const auto middle = name.substring ((int) std::strlen (temporaryPrefix), name.length() - (int) std::strlen (temporarySuffix));
    if (middle.isEmpty() || ! middle.containsOnly ("0123456789-"))
        return false;

    // "PID-N" from this version; a bare "N" from earlier ones, which recorded
    // no process and are leftovers by now.
    if (! middle.containsChar ('-'))
        return true;

    const auto pid = middle.upToFirstOccurrenceOf ("-", false, false).getIntValue();
    return pid > 0 && ! ProcessFacts::isRunning (pid);
}
