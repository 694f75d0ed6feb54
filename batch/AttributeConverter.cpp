#include "AttributeConverter.h"

#include "AttributeLocator.h"
#include "FormulaEngine.h"
#include "NumberText.h"

#include <vector>

namespace
{
    struct ValueEdit
    {
        size_t offset, length;
        std::string bytes;
    };

    /** A converted number as the file stores it. The written forms are ASCII
        ("-1.5e-005", "inf", "nan"), which every 8-bit encoding the parser
        reads stores byte for byte; UTF-16 takes two bytes a character. */
    std::string encodeNumber (const std::string& text, AttributeLocator::Units units)
    {
        if (units == AttributeLocator::Units::bytes)
            return text;

        std::string encoded;
        encoded.reserve (text.size() * 2);
        for (const char c : text)
        {
            if (units == AttributeLocator::Units::utf16LittleEndian)
                encoded += { c, '\0' };
            else
                encoded += { '\0', c };
        }
        return encoded;
    }

    std::string applyEdits (std::string_view document, const std::vector<ValueEdit>& edits)
    {
        std::string result;
        result.reserve (document.size() + edits.size() * 8);
        size_t copied = 0;
        for (const auto& edit : edits)
        {
            result.append (document.substr (copied, edit.offset - copied));
            result.append (edit.bytes);
            copied = edit.offset + edit.length;
        }
        result.append (document.substr (copied));
        return result;
    }

    juce::String keptRemark (int kept)
    {
        if (kept == 0)
            return {};
        return "(" + juce::String (kept) + (kept == 1 ? " value" : " values") + " without a number kept as "
             + (kept == 1 ? "it was" : "they were") + ") ";
    }
}

AttributeConverter::AttributeConverter (FormulaEngine& engineToUse, juce::String name)
    : engine (engineToUse), attributeName (name.toStdString())
{
}

FileRewrite AttributeConverter::rewrite (std::string_view document)
{
    return rewrite (document, findValues (document));
}

AttributeConverter::FoundValues AttributeConverter::findValues (std::string_view document, const std::atomic<bool>* stop) const
{
    FoundValues found;
    found.parseError = AttributeLocator::locate (
        document, attributeName, [&] (const AttributeLocator::Match& match) {
            found.values.push_back ({ std::string (match.value), match.offset, match.length, match.units });
        },
        stop);
    return found;
}

FileRewrite AttributeConverter::rewrite (std::string_view document, const FoundValues& found)
{
    std::vector<ValueEdit> edits;
    int kept = 0;

    for (const auto& value : found.values)
    {
        const auto x = NumberText::readNumber (value.value);
        if (! x)
        {
            ++kept;
            continue;
        }

        engine.setX (*x);
        const auto written = NumberText::writeNumber (engine.compute());

        // Compared with the value as it reads, not as it is spelt: a value that
        // keeps its number keeps its bytes, character references included.
        if (written != value.value)
            edits.push_back ({ value.offset, value.length, encodeNumber (written, value.units) });
    }

    FileRewrite rewrite;
    if (! found.parseError.empty())
    {
        rewrite.result = juce::Result::fail ("not an XML document: " + juce::String (found.parseError));
        return rewrite;
    }

    rewrite.changes = (int) edits.size();
    rewrite.remark = keptRemark (kept);
    if (! edits.empty())
        rewrite.bytes = applyEdits (document, edits);
    return rewrite;
}

std::string AttributeConverter::formulaBytes (const juce::String& formula)
{
    std::string bytes;
    bytes.reserve ((size_t) formula.length());
    for (auto p = formula.getCharPointer(); ! p.isEmpty(); ++p)
        bytes.push_back (*p < 256 ? (char) (unsigned char) *p : '?');
    return bytes;
}
