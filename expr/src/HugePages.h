#pragma once

#include <cstddef>

namespace Expr
{

    /** Asks the system to back the whole 2 MB pages inside the range with huge
    pages when they are first touched, where it can (Linux, transparent huge
    pages in "madvise" mode): a formula of millions of tokens and nodes fills
    hundreds of megabytes once, and a fault per 4 KB page costs more than
    the parse itself. Does nothing elsewhere or for a range too small. */
    void AdviseHugePages (void* start, std::size_t bytes);

} // namespace Expr
