#pragma once

#include <expat.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

/**
    One run of expat over a document's raw bytes, as every locator in this
    folder needs it: a salted parser that never loads external entities,
    blanks before the XML declaration read past (some programs write them,
    XML does not allow them), the document fed in pieces so that a stop flag
    is seen and no length overflows the parser's int, and errors placed at
    the file's own line and column.
*/
class ExpatDocument
{
public:
    /** Sets the handlers and user data on the parser. skipped is the number
        of bytes left out before the declaration: the parser's byte indexes
        plus skipped are offsets in the document. */
    using Setup = std::function<void (XML_Parser parser, size_t skipped)>;

    /** Empty when the whole document parsed, otherwise the parser's reason
        with line and column, "stopped" when the stop flag was set, or "out
        of memory". */
    static std::string parse (std::string_view document, const Setup& setup, const std::atomic<bool>* stop);
};
