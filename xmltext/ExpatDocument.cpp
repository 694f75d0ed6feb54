#include "ExpatDocument.h"

#include "DeclarationBlanks.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <type_traits>

namespace
{
    struct ParserDeleter
    {
        void operator() (XML_Parser parser) const { XML_ParserFree (parser); }
    };

    using ParserPointer = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

    /** A salt for the parser's hash tables, unpredictable from outside: one
        secret for the process, mixed with a count (splitmix64). Expat would
        otherwise ask the system for random bytes for every file. */
    unsigned long hashSalt()
    {
        static const uint64_t secret = [] {
            std::random_device device;
            return ((uint64_t) device() << 32) ^ device();
        }();
        static std::atomic<uint64_t> count { 0 };
        uint64_t z = secret + 0x9e3779b97f4a7c15u * ++count;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        z ^= z >> 31;
        return z != 0 ? (unsigned long) z : 1; // 0 would make expat ask after all
    }

    /** The parser's reason, at the line and column of the file itself: the
        blanks it did not see come before its first line. (The parser counts
        a byte-order mark as a column of its first line, which is then not
        the file's first line.) */
    std::string describeError (XML_Parser parser, const DeclarationBlanks& blanks)
    {
        const auto line = XML_GetCurrentLineNumber (parser);
        auto column = XML_GetCurrentColumnNumber (parser) + 1;
        if (line == 1)
        {
            column += (XML_Size) blanks.blanksAfterEnd;
            if (blanks.lineEnds > 0 && blanks.start > 0)
                column -= 1;
        }
        return std::string (XML_ErrorString (XML_GetErrorCode (parser)))
             + " at line " + std::to_string (line + (XML_Size) blanks.lineEnds)
             + ", column " + std::to_string (column);
    }
}

std::string ExpatDocument::parse (std::string_view document, const Setup& setup, const std::atomic<bool>* stop)
{
    ParserPointer parser (XML_ParserCreate (nullptr));
    if (parser == nullptr)
        return "out of memory";

    XML_SetHashSalt (parser.get(), hashSalt());
    const auto blanks = DeclarationBlanks::find (document);
    setup (parser.get(), blanks.length);

    // The parser takes an int length, and a stop is seen between pieces: the
    // document goes in pieces. Blanks before the declaration, which the
    // parser refuses, are left out (the byte-order mark before them goes in,
    // it names the encoding). The parser's byte positions count from the
    // first piece, so past the blanks they index the text after adding them.
    const size_t pieceSize = stop != nullptr ? size_t (1) << 20 : size_t (1) << 30;
    size_t position = 0;
    XML_Status status = XML_STATUS_OK;
    do
    {
        if (stop != nullptr && stop->load())
            return "stopped";
        if (position == blanks.start)
            position += blanks.length;
        const size_t pieceEnd = position < blanks.start ? blanks.start : document.size();
        const auto length = std::min (pieceSize, pieceEnd - position);
        const bool isFinal = position + length == document.size();
        status = XML_Parse (parser.get(), document.data() + position, (int) length, isFinal ? XML_TRUE : XML_FALSE);
        position += length;
    } while (status == XML_STATUS_OK && position < document.size());

    return status == XML_STATUS_OK ? std::string() : describeError (parser.get(), blanks);
}
