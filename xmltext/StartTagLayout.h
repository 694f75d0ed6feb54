#pragma once

#include "AttributeLocator.h"

#include <cstddef>
#include <vector>

/**
    Where the parts of one start tag stand in a document's bytes: the
    element's name, each attribute's blanks, name and quoted value, and the
    closing "/>" or ">". The tag must be one the parser has checked, so the
    lexing only follows its shape: a value ends only at the quote that
    opened it, and no markup can occur inside the tag.
*/
struct StartTagLayout
{
    struct Attribute
    {
        size_t blankStart = 0; // the blanks before the name
        size_t nameStart = 0, nameEnd = 0;
        size_t valueStart = 0, valueEnd = 0; // between the quotes
        unsigned quote = '"';
    };

    size_t start = 0, end = 0; // the tag, from "<" to past ">"
    size_t nameEnd = 0;        // past the element's name
    size_t closeStart = 0;     // the "/" of "/>", or the ">"
    bool isEmptyElement = false;
    AttributeLocator::Units units = AttributeLocator::Units::bytes;
    std::vector<Attribute> attributes;

    /** Bytes a character of markup takes: 1, or 2 in UTF-16. */
    size_t unitWidth() const { return units == AttributeLocator::Units::bytes ? 1 : 2; }

    /** Where a new attribute goes: past the last one's closing quote, or past the name. */
    size_t afterLastAttribute() const { return attributes.empty() ? nameEnd : attributes.back().valueEnd + unitWidth(); }

    /** The layout of the tag at bytes [start, start + length); nothing when
        its bytes do not have the shape of a start tag. */
    static bool read (const unsigned char* bytes, size_t start, size_t length, StartTagLayout& layout);

    /** How the tag at those bytes stores its characters. */
    static AttributeLocator::Units unitsOf (const unsigned char* tag, size_t length);
};
