#pragma once

#include "XmlTextEncoding.h"

#include <string_view>

/**
    Line and column of places in a file's bytes, read in the file's
    encoding: a line ends at LF, CR LF or a lone CR, and a column counts
    characters (a UTF-8 sequence or a UTF-16 surrogate pair is one), both
    from 1. Places are asked for in the order of the text, so each question
    walks on from the last one.
*/
class TextPosition
{
public:
    TextPosition (std::string_view bytes, const XmlTextEncoding::Detected& encoding);

    struct Place
    {
        int line = 1, column = 1;
    };

    /** The place of the character that starts at offset (a byte offset in
        the file), which is not before the one asked for last. */
    Place at (size_t offset);

private:
    /** The code unit at walked: a byte, or a UTF-16 unit. */
    unsigned unitAt (size_t offset) const;
    bool startsCharacter (unsigned unit) const;

    std::string_view bytes;
    size_t unitWidth = 1;
    bool littleEndian = true, utf8 = false;
    size_t walked = 0;
    unsigned previous = 0;
    Place place;
};
