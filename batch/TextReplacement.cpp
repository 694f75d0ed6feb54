#include "TextReplacement.h"

#include "XmlTextEncoding.h"

namespace
{
    /** Every occurrence of what in text from start on, replaced by with, left to
        right and never overlapping. Matches count only at whole units: with
        UTF-16, a match must begin at an even distance from start. */
    int replaceAll (std::string_view text, size_t origin, size_t unitWidth,
                    std::string_view what, std::string_view with, std::string& result)
    {
        int count = 0;
        size_t copied = 0, start = origin;
        for (auto found = text.find (what, start); found != std::string_view::npos; found = text.find (what, start))
        {
            if ((found - origin) % unitWidth != 0)
            {
                start = found + 1;
                continue;
            }

            if (count++ == 0)
                result.reserve (text.size() + (with.size() > what.size() ? text.size() / 8 : 0));
            result.append (text.substr (copied, found - copied));
            result.append (with);
            copied = start = found + what.size();
        }

        if (count > 0)
            result.append (text.substr (copied));
        return count;
    }

    bool isUtf16 (XmlTextEncoding::Kind kind)
    {
        return kind == XmlTextEncoding::Kind::utf16LittleEndian || kind == XmlTextEncoding::Kind::utf16BigEndian;
    }
}

FileRewrite TextReplacement::apply (std::string_view original, const juce::String& what, const juce::String& with)
{
    jassert (what.isNotEmpty());
    FileRewrite rewrite;

    const auto encoding = XmlTextEncoding::detect (original);
    if (encoding.problem.isNotEmpty())
    {
        rewrite.result = juce::Result::fail ("the file is " + encoding.problem);
        return rewrite;
    }

    const auto whatBytes = XmlTextEncoding::encode (what, encoding.kind);
    const auto withBytes = XmlTextEncoding::encode (with, encoding.kind);
    if (! whatBytes || ! withBytes)
    {
        const juce::String name = encoding.kind == XmlTextEncoding::Kind::ascii ? "US-ASCII" : "Latin-1";
        rewrite.result = juce::Result::fail ("the file is " + name + " text that cannot hold the characters of the "
                                             + juce::String (whatBytes ? "replacement" : "search") + " text");
        return rewrite;
    }

    rewrite.changes = replaceAll (original, encoding.byteOrderMarkLength, isUtf16 (encoding.kind) ? 2 : 1,
                                  *whatBytes, *withBytes, rewrite.bytes);
    return rewrite;
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
