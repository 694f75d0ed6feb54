#pragma once

#include <juce_core/juce_core.h>

#include <string>

class FormulaEngine;

/**
    The "convert value" rewrite: every attribute of one name (letter case
    ignored, the first match per element) gets the formula's value for its old
    numeric value as x. Evaluation errors of the formula language leave
    convert() and convertFile() as exceptions of the Expr family.
*/
class AttributeConverter
{
public:
    AttributeConverter (FormulaEngine& engine, juce::String attributeName);

    /** Converts the element and then its children, depth-first, text elements
        included (their text sits in an attribute named "text"). */
    void convert (juce::XmlElement& element);

    /** Parses the file as XML, converts it and writes it back as UTF-8 with
        CR LF line ends. A file that does not parse or cannot be written is left
        unchanged and the result says why. */
    juce::Result convertFile (const juce::File& file);

    /** The document's text as the file receives it: the XML header, an empty
        line and the framework's layout of the tree. */
    static std::string documentBytes (const juce::XmlElement& root, size_t sizeHint = 4096);

    /** A formula as the engine takes it: one byte per character, so error
        positions count characters. Characters above 255 become "?". */
    static std::string formulaBytes (const juce::String& formula);

    /** Deeper documents are refused: the framework's reader and the walk are recursive. */
    static constexpr int maxNestingDepth = 2000;

private:
    /** The file's text as the reader should see it: UTF-16 with a byte-order
        mark, or UTF-8. Refuses files whose characters would be damaged. */
    static juce::Result readDocumentText (const juce::File& file, juce::String& text);

    void convertAttribute (juce::XmlElement& element, int index);

    FormulaEngine& engine;
    juce::String attributeName;
};
