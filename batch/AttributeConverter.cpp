#include "AttributeConverter.h"

#include "AttributeLocator.h"
#include "FormulaEngine.h"
#include "NumberText.h"
#include "TextPosition.h"
#include "XmlTextEncoding.h"

#include <cmath>
#include <cstdint>
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

    /** Each edit as a report lists it: where it starts and its texts as UTF-8. */
    std::vector<TextChange> changesOf (std::string_view document, const std::vector<ValueEdit>& edits,
                                       const std::vector<AttributeLocator::Units>& units)
    {
        auto encoding = XmlTextEncoding::detect (document);
        if (encoding.problem.isNotEmpty())
            encoding.kind = XmlTextEncoding::Kind::latin1; // shown byte for byte, as the parser took it
        TextPosition position (document, encoding);

        std::vector<TextChange> changes;
        for (size_t i = 0; i < edits.size(); ++i)
        {
            auto shown = encoding;
            shown.byteOrderMarkLength = 0;
            if (units[i] != AttributeLocator::Units::bytes)
                shown.kind = units[i] == AttributeLocator::Units::utf16LittleEndian ? XmlTextEncoding::Kind::utf16LittleEndian
                                                                                    : XmlTextEncoding::Kind::utf16BigEndian;
            const auto& edit = edits[i];
            const auto place = position.at (edit.offset);
            changes.push_back ({ place.line, place.column, XmlTextEncoding::asUtf8 (document.substr (edit.offset, edit.length), shown),
                                 XmlTextEncoding::asUtf8 (edit.bytes, shown), 1 });
        }
        return changes;
    }

    juce::String keptRemark (int kept)
    {
        if (kept == 0)
            return {};
        return "(" + juce::String (kept) + (kept == 1 ? " value that is not a number kept as it was" : " values that are not numbers kept as they were")
             + ") ";
    }

    /** The same number, as far as a file can tell: equal values with the
        same sign (0 and -0 are written apart), or both not a number. */
    bool isSameNumber (double a, double b)
    {
        if (std::isnan (a) || std::isnan (b))
            return std::isnan (a) && std::isnan (b);
        return a == b && std::signbit (a) == std::signbit (b);
    }

    /** The value's bytes between the quotes as one character per code unit:
        ASCII as it is, every other unit as a byte beyond ASCII, which the
        number rules read as part of a unit. */
    std::string unitsAsText (std::string_view bytes, AttributeLocator::Units units)
    {
        if (units == AttributeLocator::Units::bytes)
            return std::string (bytes);

        const bool littleEndian = units == AttributeLocator::Units::utf16LittleEndian;
        std::string text;
        text.reserve (bytes.size() / 2);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        {
            const auto low = (unsigned char) bytes[littleEndian ? i : i + 1];
            const auto high = (unsigned char) bytes[littleEndian ? i + 1 : i];
            text.push_back (high == 0 && low < 0x80 ? (char) low : '\x80');
        }
        return text;
    }

    /** Text for between the quotes of a value in any encoding the parser
        reads: ASCII characters that need no escaping as they are, everything
        else as a character reference, so that the value reads back the same
        (a tab or line end written plainly would read as a blank). */
    std::string asEscapedAscii (std::string_view utf8)
    {
        std::string text;
        for (size_t i = 0; i < utf8.size();)
        {
            const auto lead = (unsigned char) utf8[i];
            const int length = lead < 0x80 ? 1 : lead < 0xe0 ? 2
                                           : lead < 0xf0     ? 3
                                                             : 4;
            uint32_t code = length == 1 ? lead : lead & (0x7fu >> length);
            for (int k = 1; k < length && i + (size_t) k < utf8.size(); ++k)
                code = (code << 6) | ((unsigned char) utf8[i + (size_t) k] & 0x3fu);
            i += (size_t) length;

            const bool plain = code >= 0x20 && code < 0x7f && code != '&' && code != '<' && code != '"' && code != '\'';
            text += plain ? std::string (1, (char) code) : "&#" + std::to_string (code) + ";";
        }
        return text;
    }

    /** The edit that writes a new number into a value whose parts are known. */
    ValueEdit editFor (std::string_view document, const AttributeConverter::FoundValue& value,
                       const NumberText::ValueParts& parts, const std::string& number)
    {
        // Where the value is written plainly, only the number's own bytes
        // change: blanks, line ends and the unit stay as the file has them.
        const auto written = unitsAsText (document.substr (value.offset, value.length), value.units);
        if (const auto writtenParts = NumberText::splitValue (written); writtenParts && writtenParts->number == parts.number)
        {
            const size_t unitBytes = value.units == AttributeLocator::Units::bytes ? 1 : 2;
            return { value.offset + writtenParts->leading.size() * unitBytes, writtenParts->number.size() * unitBytes,
                     encodeNumber (number, value.units) };
        }

        // A value written with references ("1&#46;5", "&#32;7 dB") is written
        // anew as a whole; its blanks and unit are kept as the parser read them.
        const auto whole = parts.leading.empty() && parts.trailing.empty()
                             ? number
                             : asEscapedAscii (std::string (parts.leading) + number + std::string (parts.trailing));
        return { value.offset, value.length, encodeNumber (whole, value.units) };
    }
}

AttributeConverter::AttributeConverter (FormulaEngine& engineToUse, juce::String name, NumberFormat format)
    : engine (engineToUse), attributeName (name.toStdString()), numberFormat (format)
{
    if (! ValuePath::isPath (attributeName))
        return;
    ValuePath::Refusal refused;
    if (auto parsed = ValuePath::parse (attributeName, refused))
        path = std::make_shared<const ValuePath> (std::move (*parsed));
    else
        refusal = refused;
}

FileRewrite AttributeConverter::rewrite (std::string_view document)
{
    return rewrite (document, findValues (document));
}

AttributeConverter::FoundValues AttributeConverter::findValues (std::string_view document, const std::atomic<bool>* stop) const
{
    FoundValues found;
    const auto keep = [&] (const AttributeLocator::Match& match) {
        found.values.push_back ({ std::string (match.value), match.offset, match.length, match.units, match.plain });
    };
    if (refusal)
        return found;
    found.parseError = path != nullptr ? AttributeLocator::locate (document, *path, keep, stop)
                                       : AttributeLocator::locate (document, attributeName, keep, stop);
    return found;
}

FileRewrite AttributeConverter::rewrite (std::string_view document, const FoundValues& found)
{
    std::vector<ValueEdit> edits;
    std::vector<AttributeLocator::Units> editUnits;
    int kept = 0;

    for (const auto& value : found.values)
    {
        const auto parts = value.plain ? NumberText::splitValue (value.value) : std::nullopt;
        if (! parts)
        {
            ++kept;
            continue;
        }

        engine.setX (parts->value);
        const double y = engine.compute();

        // Compared as numbers, not as texts: a value whose number stays the
        // same keeps its bytes, however it is spelt ("1.30", "+3", " 7 ").
        if (isSameNumber (y, parts->value))
            continue;
        // A format may write the new number as the old one was written
        // ("%.1f" of 1.04 for 1.0): then the bytes stay.
        if (auto written = numberFormat.write (y, parts->number); written != parts->number)
        {
            edits.push_back (editFor (document, value, *parts, written));
            editUnits.push_back (value.units);
        }
    }

    FileRewrite rewrite;
    if (! found.parseError.empty())
    {
        rewrite.result = juce::Result::fail ("not an XML document: " + juce::String (found.parseError));
        return rewrite;
    }

    rewrite.changes = (int) edits.size();
    if (selectsByPath())
        rewrite.selectedValues = (int) found.values.size();
    rewrite.remark = keptRemark (kept);
    if (! edits.empty())
        rewrite.bytes = applyEdits (document, edits);
    if (recordsChanges)
        rewrite.changeList = changesOf (document, edits, editUnits);
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
