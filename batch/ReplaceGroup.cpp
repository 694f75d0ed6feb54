#include "ReplaceGroup.h"

#include "DecodedText.h"
#include "TextPosition.h"

namespace
{
    juce::String cannotHold (XmlTextEncoding::Kind kind)
    {
        const juce::String name = kind == XmlTextEncoding::Kind::ascii ? "US-ASCII" : "Latin-1";
        return "the file is " + name + " text that cannot hold the characters of the replacement text";
    }

    /** Each step's next match, found once and kept while the scan has not passed its start. */
    struct Pending
    {
        bool searched = false;
        std::optional<RegexReplacement::Match> match;

        bool isStale (size_t at) const { return ! searched || (match && match->start < at); }
    };
}

void ReplaceGroup::add (RegexReplacement& replacement, int step, juce::String label)
{
    members.push_back ({ &replacement, step, std::move (label) });
}

juce::Result ReplaceGroup::failureOf (const Member& member, const juce::Result& reason) const
{
    if (member.label.isEmpty())
        return reason;
    return juce::Result::fail (member.label + ": " + reason.getErrorMessage());
}

FileRewrite ReplaceGroup::apply (std::string_view original)
{
    failing.clear();
    // A file that fails half way keeps every byte: nothing of its matches so far is used.
    const auto failed = [] (const juce::Result& reason) {
        FileRewrite failure;
        failure.result = reason;
        return failure;
    };

    const auto encoding = XmlTextEncoding::detect (original);
    if (encoding.problem.isNotEmpty())
        return failed (juce::Result::fail ("the file is " + encoding.problem));
    for (const auto& member : members)
        if (auto fits = member.replacement->checkEncoding (encoding.kind); fits.failed())
            return failed (failureOf (member, fits));

    DecodedText decoded (original, encoding);
    const auto text = decoded.text();
    std::optional<TextPosition> position;
    if (recordsChanges)
        position.emplace (original, encoding);

    FileRewrite rewrite;
    std::vector<Pending> pending (members.size());
    std::string result, replacement;
    size_t copiedUpTo = 0, at = 0; // offsets in the file, in the text
    while (at <= text.size())
    {
        // The leftmost next match wins; of matches at one place, the first step's.
        size_t winner = members.size();
        for (size_t i = 0; i < members.size(); ++i)
        {
            if (pending[i].isStale (at))
            {
                auto failure = juce::Result::ok();
                pending[i] = { true, members[i].replacement->findFrom (text, at, failure) };
                if (failure.failed())
                    return failed (failureOf (members[i], failure));
            }
            if (pending[i].match && (winner == members.size() || pending[i].match->start < pending[winner].match->start))
                winner = i;
        }
        if (winner == members.size())
            break;

        const auto& member = members[winner];
        const auto match = *pending[winner].match;
        replacement.clear();
        try
        {
            if (const auto built = member.replacement->appendReplacement (text, replacement); built.failed())
                return failed (failureOf (member, built));
        }
        catch (...)
        {
            failing = member.label;
            throw;
        }
        // UTF-8 text is the file's own: only other encodings need a copy encoded back.
        std::optional<std::string> encoded;
        if (encoding.kind != XmlTextEncoding::Kind::utf8)
        {
            encoded = DecodedText::encodeForFile (replacement, encoding.kind);
            if (! encoded)
                return failed (failureOf (member, juce::Result::fail (cannotHold (encoding.kind))));
        }

        if (rewrite.changes++ == 0)
            result.reserve (original.size() + original.size() / 8);
        const auto fileStart = decoded.fileOffsetOf (match.start);
        result.append (original.substr (copiedUpTo, fileStart - copiedUpTo));
        result.append (encoded ? *encoded : replacement);
        copiedUpTo = decoded.fileOffsetOf (match.end);

        if (position)
        {
            const auto place = position->at (fileStart);
            rewrite.changeList.push_back ({ place.line, place.column, std::string (text.substr (match.start, match.end - match.start)),
                                            replacement, member.step });
        }

        if (match.end > match.start)
            at = match.end;
        else if (match.end < text.size())
            at = match.end + DecodedText::characterLengthAt (text, match.end);
        else
            break;
    }

    if (rewrite.changes > 0)
    {
        result.append (original.substr (copiedUpTo));
        rewrite.bytes = std::move (result);
    }
    return rewrite;
}
