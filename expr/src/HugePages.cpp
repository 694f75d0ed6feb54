#include "HugePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Expr
{

    void AdviseHugePages (void* start, std::size_t bytes)
    {
#if defined(__linux__)
        constexpr std::uintptr_t hugePage = 2 * 1024 * 1024;
        const auto address = reinterpret_cast<std::uintptr_t> (start);
        const std::uintptr_t first = (address + hugePage - 1) / hugePage * hugePage;
        const std::uintptr_t end = (address + bytes) / hugePage * hugePage;
        // Only advice: when the system declines, the pages are ordinary ones.
        if (end > first)
            static_cast<void> (madvise (reinterpret_cast<void*> (first), end - first, MADV_HUGEPAGE));
#else
        static_cast<void> (start);
        static_cast<void> (bytes);
#endif
    }

} // namespace Expr
