#include "StructureLocator.h"

#include "ExpatDocument.h"
#include "ValuePath.h"

#include <exception>
#include <memory>
#include <optional>

namespace
{
    constexpr size_t none = std::string::npos;

    struct OpenElement
    {
        ValuePath::ElementState state;
        size_t lastChildStart = none;
        size_t indent = none; // bytes of blanks before the tag on its line; none when not alone there
        std::unique_ptr<StructureLocator::Selected> selected;
    };

    struct LocatorState
    {
        XML_Parser parser = nullptr;
        const unsigned char* bytes = nullptr;
        size_t size = 0, skipped = 0;
        const ValuePath* path = nullptr;
        const StructureLocator::Handler* onSelected = nullptr;
        std::exception_ptr failure;
        std::vector<OpenElement> open;
        std::string text; // of the innermost selected element, for text()
        std::string indentUnit;
        bool unitFound = false;
    };

    std::optional<std::pair<size_t, size_t>> currentBytes (const LocatorState& state)
    {
        const auto parsedStart = XML_GetCurrentByteIndex (state.parser);
        const auto length = XML_GetCurrentByteCount (state.parser);
        if (parsedStart < 0 || length < 0)
            return std::nullopt;
        return std::make_pair ((size_t) parsedStart + state.skipped, (size_t) length);
    }

    unsigned unitAt (const LocatorState& state, size_t offset, AttributeLocator::Units units)
    {
        switch (units)
        {
            case AttributeLocator::Units::utf16LittleEndian: return state.bytes[offset] | (unsigned) (state.bytes[offset + 1] << 8);
            case AttributeLocator::Units::utf16BigEndian: return (unsigned) (state.bytes[offset] << 8) | state.bytes[offset + 1];
            case AttributeLocator::Units::bytes: break;
        }
        return state.bytes[offset];
    }

    /** The blanks between the line's start and the tag, when only blanks stand there. */
    size_t indentBefore (const LocatorState& state, size_t tagStart, AttributeLocator::Units units)
    {
        const size_t width = units == AttributeLocator::Units::bytes ? 1 : 2;
        size_t position = tagStart;
        while (position >= width)
        {
            const auto c = unitAt (state, position - width, units);
            if (c == '\n' || c == '\r')
                return tagStart - position;
            if (c != ' ' && c != '\t')
                return none;
            position -= width;
        }
        return none;
    }

    /** Learns the document's indentation step from the first child that is
        indented further than its parent, both alone on their lines. */
    void learnIndent (LocatorState& state, const OpenElement& parent, const OpenElement& child, size_t childStart)
    {
        if (parent.indent == none || child.indent == none || child.indent <= parent.indent)
            return;
        const auto first = childStart - child.indent + parent.indent;
        state.indentUnit.assign (reinterpret_cast<const char*> (state.bytes) + first, childStart - first);
        state.unitFound = true;
    }

    void handOver (LocatorState& state, const StructureLocator::Selected& selected)
    {
        try
        {
            (*state.onSelected) (selected);
        }
        catch (...)
        {
            state.failure = std::current_exception();
            XML_StopParser (state.parser, XML_FALSE);
        }
    }

    std::unique_ptr<StructureLocator::Selected> select (LocatorState& state, const XML_Char* name, const XML_Char** attributes,
                                                        int specified, const std::pair<size_t, size_t>& tag)
    {
        auto selected = std::make_unique<StructureLocator::Selected>();
        if (! StartTagLayout::read (state.bytes, tag.first, tag.second, selected->tag))
            return nullptr;
        selected->name = name;
        selected->isRoot = state.open.size() == 1;
        selected->line = (long) XML_GetCurrentLineNumber (state.parser);
        for (int i = 0; i + 1 < specified; i += 2)
            selected->attributeNames.emplace_back (attributes[i]);

        if (state.path->target() != ValuePath::Target::attribute)
            return selected;
        for (int i = 0; i + 1 < specified; i += 2)
            if (state.path->attributeName() == attributes[i])
            {
                if (! state.path->acceptsValue (attributes[i + 1]) || (size_t) (i / 2) >= selected->tag.attributes.size())
                    return nullptr;
                selected->attribute = i / 2;
                return selected;
            }
        return nullptr;
    }

    void XMLCALL onStart (void* userData, const XML_Char* name, const XML_Char** attributes)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        auto& parent = state.open.back();
        OpenElement element;
        element.state = state.path->enter (parent.state, name, { attributes, XML_GetSpecifiedAttributeCount (state.parser) });

        // A child element: its parent has no text of its own to set.
        if (parent.selected != nullptr && state.path->target() == ValuePath::Target::text)
            parent.selected.reset();

        const auto tag = currentBytes (state);
        if (! state.failure && tag && tag->second > 0)
        {
            parent.lastChildStart = tag->first;
            const auto units = StartTagLayout::unitsOf (state.bytes + tag->first, tag->second);
            if (! state.unitFound)
            {
                element.indent = indentBefore (state, tag->first, units);
                learnIndent (state, parent, element, tag->first);
            }
            if (state.path->selects (element.state))
                element.selected = select (state, name, attributes, XML_GetSpecifiedAttributeCount (state.parser), *tag);
        }
        if (element.selected != nullptr)
            state.text.clear();
        state.open.push_back (std::move (element));
    }

    void XMLCALL onCharacters (void* userData, const XML_Char* characters, int length)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        if (state.open.back().selected != nullptr)
            state.text.append (characters, (size_t) length);
    }

    /** True when the text holds a CDATA section, a comment or a processing instruction. */
    bool holdsMarkup (const LocatorState& state, size_t start, size_t end, AttributeLocator::Units units)
    {
        const size_t width = units == AttributeLocator::Units::bytes ? 1 : 2;
        for (size_t position = start; position + width <= end; position += width)
            if (unitAt (state, position, units) == '<')
                return true;
        return false;
    }

    void XMLCALL onEnd (void* userData, const XML_Char*)
    {
        auto& state = *static_cast<LocatorState*> (userData);
        auto selected = std::move (state.open.back().selected);
        if (state.open.size() > 1)
            state.open.pop_back();
        if (state.failure || selected == nullptr)
            return;

        const auto tag = currentBytes (state);
        if (! tag)
            return;
        // An empty-element tag ends where it starts.
        const bool emptyTag = tag->first < selected->tag.end;
        selected->endTagStart = emptyTag ? selected->tag.end : tag->first;
        selected->endTagEnd = emptyTag ? selected->tag.end : tag->first + tag->second;
        if (state.path->target() == ValuePath::Target::text)
        {
            selected->textHoldsMarkup = holdsMarkup (state, selected->tag.end, selected->endTagStart, selected->tag.units);
            if (! selected->textHoldsMarkup && ! state.path->acceptsValue (state.text))
                return;
        }
        handOver (state, *selected);
    }
}

StructureLocator::Found StructureLocator::locate (std::string_view document, const ValuePath& path, const Handler& onSelected,
                                                  const std::atomic<bool>* stop)
{
    LocatorState state;
    state.bytes = reinterpret_cast<const unsigned char*> (document.data());
    state.size = document.size();
    state.path = &path;
    state.onSelected = &onSelected;
    state.open.emplace_back();
    state.open.back().state = path.rootState();

    Found found;
    found.parseError = ExpatDocument::parse (
        document, [&] (XML_Parser parser, size_t skipped) {
            state.parser = parser;
            state.skipped = skipped;
            XML_SetUserData (parser, &state);
            XML_SetElementHandler (parser, onStart, onEnd);
            if (path.target() == ValuePath::Target::text)
                XML_SetCharacterDataHandler (parser, onCharacters);
        },
        stop);

    if (state.failure)
        std::rethrow_exception (state.failure);
    found.indentUnit = std::move (state.indentUnit);
    return found;
}
