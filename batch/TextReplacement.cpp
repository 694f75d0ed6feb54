#include "TextReplacement.h"

#include "RegexReplacement.h"
#include "ReplaceGroup.h"

FileRewrite TextReplacement::apply (std::string_view original, const juce::String& what, const juce::String& with)
{
    // The one scan every replace run uses, with this text as its only step.
    jassert (what.isNotEmpty());
    RegexReplacement literal;
    if (const auto refused = literal.prepareLiteral (what, with); refused.isRefused())
    {
        FileRewrite rewrite;
        rewrite.result = juce::Result::fail (refused.message);
        return rewrite;
    }
    ReplaceGroup group;
    group.add (literal, 1, {});
    return group.apply (original);
}

std::string TextReplacement::withCrLf (std::string_view text)
{
    std::string result;
    result.reserve (text.size() + text.size() / 16);

    size_t runStart = 0;
    for (auto lineFeed = text.find ('\n'); lineFeed != std::string_view::npos; lineFeed = text.find ('\n', lineFeed + 1))
    {
        if (lineFeed > 0 && text[lineFeed - 1] == '\r')
            continue;

        result.append (text.substr (runStart, lineFeed - runStart));
        result.push_back ('\r');
        runStart = lineFeed; // the line feed itself starts the next run
    }

    result.append (text.substr (runStart));
    return result;
}
