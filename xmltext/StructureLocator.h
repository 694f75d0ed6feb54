#pragma once

#include "StartTagLayout.h"

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ValuePath;

/**
    Finds, in the raw bytes of an XML document, the attributes, texts or
    elements a path selects, with the byte layout an edit of them needs:
    the start tag's parts, the end tag, the last child element. Checked by
    expat as AttributeLocator checks a document; nothing is built but a
    stack of the open elements. Elements inside an entity's replacement
    text are not in the file's bytes and are never selected.
*/
class StructureLocator
{
public:
    /** One selected node, handed over at the end of its element. */
    struct Selected
    {
        StartTagLayout tag;
        size_t endTagStart = 0, endTagEnd = 0;     // both tag.end for "<a/>"
        size_t lastChildStart = std::string::npos; // the last child element's "<"
        int attribute = -1;                        // the selected attribute, for a path ending at one
        std::vector<std::string> attributeNames;   // as specified in the tag (UTF-8)
        std::string name;                          // the element's (UTF-8)
        bool isRoot = false;
        bool textHoldsMarkup = false; // the text (for text()) holds a CDATA section, comment or PI
        long line = 0;                // of the start tag
    };

    using Handler = std::function<void (const Selected&)>;

    struct Found
    {
        std::string parseError; // empty for a well-formed document
        std::string indentUnit; // what the document indents a child by beyond its parent, if it shows
    };

    /** Hands over every node the path selects, in the order their
        elements end. May throw: the exception leaves locate(). */
    static Found locate (std::string_view document, const ValuePath& path, const Handler& onSelected,
                         const std::atomic<bool>* stop = nullptr);
};
