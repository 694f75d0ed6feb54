#include "ReplaceOperation.h"

#include "TextReplacement.h"

BatchOperation::Refusal ReplaceOperation::prepare()
{
    // An empty search text would match everywhere and never end.
    if (settings.replace.what.isEmpty())
        return { "Nothing to replace", "The search text is empty: enter the text to replace under \"Replace what:\"." };
    return {};
}

juce::String ReplaceOperation::describeTask() const
{
    return "Replace string: '" + settings.replace.what + "' \n"
         + "with new string: '" + settings.replace.with + "' \n";
}

FileRewrite ReplaceOperation::rewrite (const juce::File&, std::string_view original, const FileAnalysis*)
{
    return TextReplacement::apply (original, settings.replace.what, settings.replace.with);
}
