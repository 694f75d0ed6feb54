#include "AttributeConverter.h"

#include "FormulaEngine.h"
#include "NumberText.h"
#include "SafeFileWriter.h"
#include "StringOutputStream.h"
#include "TextReplacement.h"

#include <algorithm>
#include <cstring>

AttributeConverter::AttributeConverter (FormulaEngine& engineToUse, juce::String name)
    : engine (engineToUse), attributeName (std::move (name))
{
}

void AttributeConverter::convert (juce::XmlElement& element)
{
    for (int i = 0, count = element.getNumAttributes(); i < count; ++i)
    {
        if (element.getAttributeName (i).equalsIgnoreCase (attributeName))
        {
            convertAttribute (element, i);
            break;
        }
    }

    for (auto* child : element.getChildIterator())
        convert (*child);
}

void AttributeConverter::convertAttribute (juce::XmlElement& element, int index)
{
    const auto x = NumberText::readLeadingNumber (element.getAttributeValue (index).toStdString());
    engine.setX (x);
    const auto y = engine.compute();

    // Setting by the name as written keeps the attribute's place and spelling.
    element.setAttribute (element.getAttributeName (index), juce::String (NumberText::writeNumber (y)));
}

namespace
{
    bool startsWithUtf16ByteOrderMark (const juce::MemoryBlock& bytes)
    {
        return bytes.getSize() >= 2
            && ((bytes[0] == (char) 0xff && bytes[1] == (char) 0xfe) || (bytes[0] == (char) 0xfe && bytes[1] == (char) 0xff));
    }

    /** The deepest nesting of elements, counted from the tags alone. Cheap and
        approximate (a "<" inside a comment counts too, a ">" inside a value may
        hide a "/>"), which is enough to keep a pathological file from
        overflowing the stack of the recursive reader. */
    int nestingDepth (std::string_view text)
    {
        int depth = 0, deepest = 0;
        for (auto open = text.find ('<'); open != std::string_view::npos && open + 1 < text.size(); open = text.find ('<', open + 1))
        {
            const char next = text[open + 1];
            if (next == '/')
            {
                --depth;
                continue;
            }
            if (next == '!' || next == '?')
                continue;

            deepest = std::max (deepest, ++depth);
            const auto close = text.find ('>', open);
            if (close != std::string_view::npos && text[close - 1] == '/')
                --depth;   // an empty element such as <a/> opens and closes at once
        }
        return deepest;
    }
}

juce::Result AttributeConverter::readDocumentText (const juce::File& file, juce::String& text)
{
    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
        return juce::Result::fail ("cannot read the file");

    if (startsWithUtf16ByteOrderMark (bytes))
    {
        text = juce::String::createStringFromData (bytes.getData(), (int) bytes.getSize());
    }
    else
    {
        // The reader takes every other file as UTF-8: anything else would come
        // back with its characters replaced, so it is left alone instead.
        const std::string_view view (static_cast<const char*> (bytes.getData()), bytes.getSize());
        if (! TextReplacement::isValidUtf8 (view))
            return juce::Result::fail ("not UTF-8 text: converting it would damage its characters");
        if (view.find ('\0') != std::string_view::npos)
            return juce::Result::fail ("not an XML document (it holds a zero byte)");
        text = juce::String::fromUTF8 (view.data(), (int) view.size());
    }

    if (nestingDepth (text.toRawUTF8()) > maxNestingDepth)
        return juce::Result::fail ("elements nested more than " + juce::String (maxNestingDepth) + " levels deep");

    return juce::Result::ok();
}

juce::Result AttributeConverter::convertFile (const juce::File& file)
{
    juce::String text;
    if (const auto read = readDocumentText (file, text); read.failed())
        return read;

    // Parsed from the text, not the file: a reader with a file behind it would
    // also load whatever file a DOCTYPE names.
    juce::XmlDocument document (text);
    const auto root = document.getDocumentElement();
    const auto parseError = document.getLastParseError();

    // The reader goes on past some errors (an unknown entity, say) and drops
    // what it could not read; writing that tree back would lose text.
    if (root == nullptr || parseError.isNotEmpty())
        return juce::Result::fail (parseError.isNotEmpty() ? "not an XML document (" + parseError + ")"
                                                           : juce::String ("not an XML document"));

    convert (*root);

    // Room for the original size and some growth saves the writer's many small reallocations.
    const auto size = std::strlen (text.toRawUTF8());
    const auto bytes = documentBytes (*root, size + size / 4 + 256);
    return SafeFileWriter::replaceContents (file, bytes.data(), bytes.size());
}

std::string AttributeConverter::documentBytes (const juce::XmlElement& root, size_t sizeHint)
{
    // The layout comes with CR LF already; only line feeds inside text content
    // can still be bare, and the line-end rule is run just when there are some.
    auto format = juce::XmlElement::TextFormat();
    format.newLineChars = "\r\n";
    StringOutputStream out (sizeHint);
    root.writeTo (out, format);

    auto& bytes = out.getText();
    return TextReplacement::hasBareLineFeed (bytes) ? TextReplacement::withCrLf (bytes) : std::move (bytes);
}

std::string AttributeConverter::formulaBytes (const juce::String& formula)
{
    std::string bytes;
    bytes.reserve ((size_t) formula.length());
    for (auto p = formula.getCharPointer(); ! p.isEmpty(); ++p)
        bytes.push_back (*p < 256 ? (char) (unsigned char) *p : '?');
    return bytes;
}
