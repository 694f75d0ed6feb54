#pragma once

#include <cerrno>

namespace Expr
{

    namespace Detail
    {
        // errno's cell for the calling thread, once looked up.
        extern thread_local int* errorIndicatorCell;
    } // namespace Detail

    /** errno of the calling thread, the cell the library's error-indicator
    protocol clears and tests: the same object as errno, without asking the C
    library for its address every time (a call, for every power and every
    checked function evaluated). */
    inline int& ErrorIndicator() noexcept
    {
        int* cell = Detail::errorIndicatorCell;
        if (cell == nullptr)
        {
            cell = &errno;
            Detail::errorIndicatorCell = cell;
        }
        return *cell;
    }

} // namespace Expr
