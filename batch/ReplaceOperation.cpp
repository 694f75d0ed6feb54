#include "ReplaceOperation.h"

#include "TextReplacement.h"

BatchOperation::Refusal ReplaceOperation::refusal()
{
    // An empty search text would match everywhere and never end.
    if (settings.replaceWhat.isEmpty())
        return { "Nothing to replace", "The search text is empty: enter the text to replace under \"Replace what:\"." };
    return {};
}

juce::String ReplaceOperation::describeTask() const
{
    return "Replace string: '" + settings.replaceWhat + "' \n"
         + "with new string: '" + settings.replaceWith + "' \n";
}

FileRewrite ReplaceOperation::rewrite (const juce::File&, std::string_view original)
{
    return TextReplacement::apply (original, settings.replaceWhat, settings.replaceWith);
}
