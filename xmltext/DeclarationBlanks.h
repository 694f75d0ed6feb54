#pragma once

#include <cstddef>
#include <string_view>

/**
    Blanks (spaces, tabs, line ends) that stand before a file's XML
    declaration, after its byte-order mark if it has one. XML allows nothing
    there, yet some programs write a blank line first; such a file is read as
    if the blanks were not there, and they are kept as they are.
*/
struct DeclarationBlanks
{
    /** Finds them in 8-bit, UTF-8 or UTF-16 text, with or without a mark.
        All zero when there are none, or when no XML declaration follows
        them (before other markup, blanks are allowed anyway). */
    static DeclarationBlanks find (std::string_view bytes);

    size_t start = 0;       // the first blank's byte: just past the byte-order mark
    size_t length = 0;      // the blanks' bytes, two a character in UTF-16
    int lineEnds = 0;       // among them; CR LF counts as one
    int blanksAfterEnd = 0; // characters after the last line end, or all of them without one
};
