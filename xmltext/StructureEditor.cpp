#include "StructureEditor.h"

#include "ExpatDocument.h"
#include "ValuePath.h"

#include <algorithm>
#include <optional>

namespace
{
    using Encoding = XmlTextEncoding::Kind;

    /** XML 1.0's NameStartChar and NameChar. */
    bool isNameStart (juce::juce_wchar c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'
            || (c >= 0xc0 && c <= 0xd6) || (c >= 0xd8 && c <= 0xf6) || (c >= 0xf8 && c <= 0x2ff)
            || (c >= 0x370 && c <= 0x37d) || (c >= 0x37f && c <= 0x1fff) || (c >= 0x200c && c <= 0x200d)
            || (c >= 0x2070 && c <= 0x218f) || (c >= 0x2c00 && c <= 0x2fef) || (c >= 0x3001 && c <= 0xd7ff)
            || (c >= 0xf900 && c <= 0xfdcf) || (c >= 0xfdf0 && c <= 0xfffd) || (c >= 0x10000 && c <= 0xeffff);
    }

    bool isNameCharacter (juce::juce_wchar c)
    {
        return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xb7
            || (c >= 0x300 && c <= 0x36f) || (c >= 0x203f && c <= 0x2040);
    }

    /** A character XML 1.0 allows in a document at all, as itself or as a reference. */
    bool isXmlCharacter (juce::juce_wchar c)
    {
        return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) || (c >= 0xe000 && c <= 0xfffd)
            || (c >= 0x10000 && c <= 0x10ffff);
    }

    juce::String reference (juce::juce_wchar c)
    {
        return "&#" + juce::String ((int) c) + ";";
    }

    /** The value between quotes: a tab or line end written plainly would read back as a blank. */
    juce::String escapedForAttribute (const juce::String& value, unsigned quote)
    {
        juce::String text;
        for (auto p = value.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;
            if (c == '&')
                text << "&amp;";
            else if (c == '<')
                text << "&lt;";
            else if (c == '"' && quote == '"')
                text << "&quot;";
            else if (c == '\'' && quote == '\'')
                text << "&apos;";
            else if (c == '\t' || c == '\n' || c == '\r')
                text << reference (c);
            else
                text << juce::String::charToString (c);
        }
        return text;
    }

    /** The text of an element: a CR would read back as a line feed, and "]]>" may not stand in text. */
    juce::String escapedForText (const juce::String& value)
    {
        juce::String text;
        for (auto p = value.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;
            if (c == '&')
                text << "&amp;";
            else if (c == '<')
                text << "&lt;";
            else if (c == '\r')
                text << "&#13;";
            else if (c == '>' && text.endsWith ("]]"))
                text << "&gt;";
            else
                text << juce::String::charToString (c);
        }
        return text;
    }
}

/** One document being edited: its bytes and how new text is written into it. */
struct StructureEditor::Document
{
    std::string_view bytes;
    Encoding kind = Encoding::utf8;
    size_t width = 1;
    std::string lineEnd, indentUnit;
    std::string failure;
    int node = 0; // the node whose edits are being made

    struct Pending
    {
        int node;
        StructureEditor::Edit edit;
    };
    std::vector<Pending> pending;

    void replace (size_t start, size_t end, std::string text) { pending.push_back ({ node, { start, end - start, std::move (text) } }); }

    /** The element's name as the file writes it. */
    std::string nameOf (const StructureLocator::Selected& selected) const
    {
        const auto nameStart = selected.tag.start + selected.tag.unitWidth();
        return std::string (bytes.substr (nameStart, selected.tag.nameEnd - nameStart));
    }

    /** Keeps the edits that change bytes and lie outside the others: an
        element deleted takes the edits inside it with it. */
    void finish (StructureEditor::Outcome& outcome)
    {
        std::stable_sort (pending.begin(), pending.end(), [] (const Pending& a, const Pending& b) {
            return a.edit.offset != b.edit.offset ? a.edit.offset < b.edit.offset : a.edit.length > b.edit.length;
        });
        size_t keptEnd = 0;
        std::vector<int> changedNodes;
        for (auto& entry : pending)
        {
            const auto& edit = entry.edit;
            if ((edit.offset < keptEnd) || bytes.substr (edit.offset, edit.length) == edit.bytes)
                continue;
            keptEnd = edit.offset + edit.length;
            changedNodes.push_back (entry.node);
            outcome.edits.push_back (std::move (entry.edit));
        }
        std::sort (changedNodes.begin(), changedNodes.end());
        outcome.changed = (int) (std::unique (changedNodes.begin(), changedNodes.end()) - changedNodes.begin());
        if (outcome.edits.empty())
            return;

        outcome.bytes.reserve (bytes.size() + 64);
        size_t copied = 0;
        for (const auto& edit : outcome.edits)
        {
            outcome.bytes.append (bytes.substr (copied, edit.offset - copied));
            outcome.bytes.append (edit.bytes);
            copied = edit.offset + edit.length;
        }
        outcome.bytes.append (bytes.substr (copied));
    }

    unsigned unitAt (size_t offset) const
    {
        const auto* b = reinterpret_cast<const unsigned char*> (bytes.data());
        if (width == 1)
            return b[offset];
        return kind == Encoding::utf16LittleEndian ? b[offset] | (unsigned) (b[offset + 1] << 8)
                                                   : (unsigned) (b[offset] << 8) | b[offset + 1];
    }

    /** Markup and names: every character must have its place in the encoding. */
    std::optional<std::string> markup (const juce::String& text) const { return XmlTextEncoding::encode (text, kind); }

    /** Escaped text: a character the encoding lacks is written as a reference. */
    std::string escaped (const juce::String& text) const
    {
        if (auto whole = markup (text))
            return *whole;
        std::string encoded;
        for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto character = juce::String::charToString (*p);
            encoded += markup (character).value_or (*markup (reference (*p)));
        }
        return encoded;
    }

    std::string ascii (const char* text) const { return *markup (text); }

    /** The first line end of the document, LF when it has none. */
    void findLineEnd()
    {
        for (size_t i = 0; i + width <= bytes.size(); i += width)
        {
            const auto c = unitAt (i);
            if (c == '\n' || c == '\r')
            {
                const bool pair = c == '\r' && i + 2 * width <= bytes.size() && unitAt (i + width) == '\n';
                lineEnd = ascii (c == '\n' ? "\n" : pair ? "\r\n"
                                                         : "\r");
                return;
            }
        }
        lineEnd = ascii ("\n");
    }

    bool isBlank (size_t offset) const
    {
        const auto c = unitAt (offset);
        return c == ' ' || c == '\t';
    }

    bool isLineEnd (size_t offset) const
    {
        const auto c = unitAt (offset);
        return c == '\n' || c == '\r';
    }

    /** The start of the line that offset is on, when only blanks stand before it there. */
    std::optional<size_t> lineStartBefore (size_t offset, size_t notBefore = 0) const
    {
        size_t position = offset;
        while (position >= notBefore + width && isBlank (position - width))
            position -= width;
        if (position < notBefore + width || ! isLineEnd (position - width))
            return std::nullopt;
        return position;
    }

    /** Past the line end after offset, when only blanks stand between. */
    std::optional<size_t> lineEndAfter (size_t offset) const
    {
        size_t position = offset;
        while (position + width <= bytes.size() && isBlank (position))
            position += width;
        if (position + width > bytes.size())
            return position; // the end of the document ends the line
        if (unitAt (position) == '\r')
            return position + (position + 2 * width <= bytes.size() && unitAt (position + width) == '\n' ? 2 * width : width);
        if (unitAt (position) == '\n')
            return position + width;
        return std::nullopt;
    }

    /** The blanks before a tag on its line; empty when something else stands there. */
    std::string indentOf (size_t tagStart) const
    {
        const auto start = lineStartBefore (tagStart);
        return start ? std::string (bytes.substr (*start, tagStart - *start)) : std::string();
    }

    void fail (const juce::String& reason)
    {
        if (failure.empty())
            failure = reason.toStdString();
    }
};

StructureEditor::StructureEditor (Kind kind, std::shared_ptr<const ValuePath> pathToUse, juce::String name, juce::String value)
    : editKind (kind), path (std::move (pathToUse)), newName (std::move (name)), newValue (std::move (value)),
      newNameUtf8 (newName.toStdString())
{
    if (editKind == Kind::addElement)
        newValue = newValue.trim();
}

std::string StructureEditor::refusalFor (Kind kind, int target)
{
    const auto selected = (ValuePath::Target) target;
    switch (kind)
    {
        case Kind::setValue:
            return selected == ValuePath::Target::element ? "set value takes a path to attributes (@name) or texts (text()), not to elements" : "";
        case Kind::rename:
        case Kind::remove:
            return selected == ValuePath::Target::text ? std::string (kind == Kind::rename ? "rename" : "delete") + " takes a path to attributes (@name) or elements, not to texts" : "";
        case Kind::addAttribute:
        case Kind::addElement:
            return selected != ValuePath::Target::element ? std::string (kind == Kind::addAttribute ? "add attribute" : "add element") + " takes a path to elements (ending at an element step), not to attributes or texts" : "";
    }
    return {};
}

juce::String StructureEditor::nameProblem (const juce::String& name)
{
    if (name.isEmpty())
        return "the NAME is empty";
    auto p = name.getCharPointer();
    if (! isNameStart (*p))
        return "'" + name + "' is not an XML name: it cannot start with '" + juce::String::charToString (*p) + "'";
    for (++p; ! p.isEmpty(); ++p)
        if (! isNameCharacter (*p))
            return "'" + name + "' is not an XML name: it cannot hold '" + juce::String::charToString (*p) + "'";
    return {};
}

juce::String StructureEditor::valueProblem (const juce::String& value)
{
    for (auto p = value.getCharPointer(); ! p.isEmpty(); ++p)
        if (! isXmlCharacter (*p))
            return "the VALUE holds the character U+" + juce::String::toHexString ((int) *p).paddedLeft ('0', 4).toUpperCase()
                 + ", which XML cannot hold";
    return {};
}

juce::String StructureEditor::fragmentProblem (const juce::String& fragment)
{
    const auto text = fragment.trim();
    if (text.startsWith ("<?xml") && text.length() > 5 && juce::CharacterFunctions::isWhitespace (text[5]))
        return "the FRAGMENT may not hold an XML declaration: give the element alone";
    if (! text.startsWithChar ('<'))
        return "the FRAGMENT must be one element, such as <par name=\"x\" value=\"1\"/>";

    int roots = 0, depth = 0;
    bool doctype = false;
    struct Counts
    {
        int* roots;
        int* depth;
        bool* doctype;
    } counts { &roots, &depth, &doctype };
    const auto utf8 = text.toStdString();
    const auto error = ExpatDocument::parse (
        utf8, [&] (XML_Parser parser, size_t) {
            XML_SetUserData (parser, &counts);
            XML_SetElementHandler (
                parser, [] (void* data, const XML_Char*, const XML_Char**) {
                    auto& c = *static_cast<Counts*> (data);
                    if ((*c.depth)++ == 0)
                        ++*c.roots; },
                [] (void* data, const XML_Char*) { --*static_cast<Counts*> (data)->depth; });
            XML_SetStartDoctypeDeclHandler (parser, [] (void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
                *static_cast<Counts*> (data)->doctype = true;
            });
        },
        nullptr);
    if (doctype)
        return "the FRAGMENT may not hold a DOCTYPE: give the element alone";
    if (error.find ("junk after document element") == 0)
        return "the FRAGMENT must have one root element: " + juce::String (error) + " (wrap several in one element, or use one step each)";
    if (! error.empty())
        return "the FRAGMENT is not well-formed XML: " + juce::String (error);
    return roots == 1 ? juce::String() : juce::String ("the FRAGMENT holds no element");
}

StructureEditor::Outcome StructureEditor::apply (std::string_view bytes, const std::atomic<bool>* stop) const
{
    Outcome outcome;
    std::vector<StructureLocator::Selected> nodes;
    const auto found = StructureLocator::locate (
        bytes, *path, [&] (const StructureLocator::Selected& node) { nodes.push_back (node); }, stop);
    if (! found.parseError.empty())
    {
        outcome.failure = "not an XML document: " + found.parseError;
        return outcome;
    }
    outcome.selected = (int) nodes.size();
    if (nodes.empty())
        return outcome;

    Document document;
    document.bytes = bytes;
    const auto encoding = XmlTextEncoding::detect (bytes);
    if (encoding.problem.isNotEmpty())
    {
        outcome.failure = "the file's encoding cannot be written: " + encoding.problem.toStdString();
        return outcome;
    }
    document.kind = encoding.kind;
    document.width = encoding.kind == Encoding::utf16LittleEndian || encoding.kind == Encoding::utf16BigEndian ? 2 : 1;
    document.findLineEnd();
    document.indentUnit = ! found.indentUnit.empty() ? found.indentUnit : document.ascii ("  ");

    for (size_t i = 0; i < nodes.size() && document.failure.empty(); ++i)
    {
        document.node = (int) i;
        editNode (document, nodes[i], outcome);
    }
    if (! document.failure.empty())
    {
        outcome.failure = document.failure;
        return outcome;
    }
    document.finish (outcome);
    return outcome;
}

void StructureEditor::editNode (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const
{
    switch (editKind)
    {
        case Kind::setValue: return setValue (document, node, outcome);
        case Kind::rename: return rename (document, node, outcome);
        case Kind::remove: return remove (document, node, outcome);
        case Kind::addAttribute: return addAttribute (document, node, outcome);
        case Kind::addElement: return addElement (document, node, outcome);
    }
}

void StructureEditor::setValue (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const
{
    if (node.attribute >= 0)
    {
        const auto& attribute = node.tag.attributes[(size_t) node.attribute];
        document.replace (attribute.valueStart, attribute.valueEnd, document.escaped (escapedForAttribute (newValue, attribute.quote)));
        return;
    }
    // A text that holds a CDATA section, a comment or a processing
    // instruction would lose them: it is kept, and counted.
    if (node.textHoldsMarkup)
    {
        ++outcome.leftAlone;
        return;
    }
    const auto text = document.escaped (escapedForText (newValue));
    if (! node.tag.isEmptyElement)
        return document.replace (node.tag.end, node.endTagStart, text);
    if (text.empty())
        return;
    // "<a/>" is opened around its new text.
    const auto start = node.tag.afterLastAttribute();
    document.replace (start, node.tag.end, document.ascii (">") + text + document.ascii ("</") + document.nameOf (node) + document.ascii (">"));
}

void StructureEditor::rename (Document& document, const StructureLocator::Selected& node, Outcome&) const
{
    const auto name = document.markup (newName);
    if (! name)
        return document.fail ("the NAME '" + newName + "' cannot be written in this file's encoding");

    if (node.attribute >= 0)
    {
        const auto& attribute = node.tag.attributes[(size_t) node.attribute];
        const auto& oldName = node.attributeNames[(size_t) node.attribute];
        if (oldName != newNameUtf8 && std::find (node.attributeNames.begin(), node.attributeNames.end(), newNameUtf8) != node.attributeNames.end())
            return document.fail ("the element " + juce::String (node.name) + " at line " + juce::String ((int) node.line)
                                  + " already has an attribute " + newName + ": renaming " + juce::String (oldName) + " would make two");
        return document.replace (attribute.nameStart, attribute.nameEnd, *name);
    }

    const auto width = node.tag.unitWidth();
    const auto nameLength = node.tag.nameEnd - node.tag.start - width;
    document.replace (node.tag.start + width, node.tag.nameEnd, *name);
    if (! node.tag.isEmptyElement)
        document.replace (node.endTagStart + 2 * width, node.endTagStart + 2 * width + nameLength, *name);
}

void StructureEditor::remove (Document& document, const StructureLocator::Selected& node, Outcome&) const
{
    if (node.attribute >= 0)
    {
        const auto& attribute = node.tag.attributes[(size_t) node.attribute];
        return document.replace (attribute.blankStart, attribute.valueEnd + node.tag.unitWidth(), {});
    }
    if (node.isRoot)
        return document.fail ("the root element " + juce::String (node.name) + " cannot be deleted: the file would be no XML document");

    // An element alone on its line takes the line with it, so no blank line is left.
    auto start = node.tag.start;
    auto end = node.endTagEnd;
    const auto lineStart = document.lineStartBefore (start);
    const auto lineEnd = lineStart ? document.lineEndAfter (end) : std::nullopt;
    if (lineStart && lineEnd)
    {
        start = *lineStart;
        end = *lineEnd;
    }
    document.replace (start, end, {});
}

void StructureEditor::addAttribute (Document& document, const StructureLocator::Selected& node, Outcome& outcome) const
{
    if (std::find (node.attributeNames.begin(), node.attributeNames.end(), newNameUtf8) != node.attributeNames.end())
    {
        ++outcome.leftAlone;
        return;
    }
    const auto name = document.markup (newName);
    if (! name)
        return document.fail ("the NAME '" + newName + "' cannot be written in this file's encoding");
    const unsigned quote = node.tag.attributes.empty() ? '"' : node.tag.attributes.back().quote;
    const auto quoteText = juce::String::charToString ((juce::juce_wchar) quote);
    const auto at = node.tag.afterLastAttribute();
    document.replace (at, at, document.ascii (" ") + *name + document.ascii ("=") + *document.markup (quoteText) + document.escaped (escapedForAttribute (newValue, quote)) + *document.markup (quoteText));
}

void StructureEditor::addElement (Document& document, const StructureLocator::Selected& node, Outcome&) const
{
    const auto parentIndent = document.indentOf (node.tag.start);
    const auto childIndent = node.lastChildStart != std::string::npos && ! document.indentOf (node.lastChildStart).empty()
                               ? document.indentOf (node.lastChildStart)
                               : parentIndent + document.indentUnit;

    // The fragment's own lines end as the file's do, and go in as deep as it does.
    auto lines = juce::StringArray::fromLines (newValue);
    std::string fragment;
    for (int i = 0; i < lines.size(); ++i)
    {
        const auto line = document.markup (lines[i]);
        if (! line)
            return document.fail ("the FRAGMENT cannot be written in this file's encoding");
        fragment += (i == 0 ? std::string() : document.lineEnd + childIndent) + *line;
    }

    if (node.tag.isEmptyElement)
        return document.replace (node.tag.afterLastAttribute(), node.tag.end,
                                 document.ascii (">") + document.lineEnd + childIndent + fragment + document.lineEnd + parentIndent
                                     + document.ascii ("</") + document.nameOf (node) + document.ascii (">"));

    // An end tag alone on its line: the new child goes on a line before it.
    if (const auto lineStart = document.lineStartBefore (node.endTagStart, node.tag.end))
        return document.replace (*lineStart, *lineStart, childIndent + fragment + document.lineEnd);
    document.replace (node.endTagStart, node.endTagStart, document.lineEnd + childIndent + fragment + document.lineEnd + parentIndent);
}
