#include "AttributeConverter.h"

#include "FormulaEngine.h"
#include "NumberText.h"
#include "SafeFileWriter.h"
#include "StringOutputStream.h"
#include "TextReplacement.h"

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

juce::Result AttributeConverter::convertFile (const juce::File& file)
{
    juce::XmlDocument document (file);
    const auto root = document.getDocumentElement();
    if (root == nullptr)
    {
        const auto reason = document.getLastParseError();
        return juce::Result::fail (reason.isNotEmpty() ? "not an XML document (" + reason + ")"
                                                       : juce::String ("not an XML document"));
    }

    convert (*root);

    // Room for the original size and some growth saves the writer's many small reallocations.
    const auto bytes = documentBytes (*root, (size_t) file.getSize() + (size_t) file.getSize() / 4 + 256);
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
