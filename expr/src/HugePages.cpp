#include "HugePages.h"

#include <cstdint>
#include <new>
#include <stdexcept>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Expr
{

#if defined(__linux__)
    namespace
    {
        constexpr std::uintptr_t hugePage = 2 * 1024 * 1024;

        // Whole huge pages: the mapping then ends on a boundary too, and the
        // last page can be a huge one.
        std::size_t MappedSize (std::size_t bytes)
        {
            return (bytes + hugePage - 1) / hugePage * hugePage;
        }
    } // namespace
#endif

    void* AllocateLarge (std::size_t bytes)
    {
#if defined(__linux__)
        if (bytes >= LargeAllocationSize)
        {
            const std::size_t size = MappedSize (bytes);
            if (size < bytes || size > SIZE_MAX - hugePage)
                throw std::bad_alloc();
            // One huge page more than needed, then the unaligned head and the
            // tail beyond the aligned range are given back.
            void* mapped = mmap (nullptr, size + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED)
                throw std::bad_alloc();
            const auto address = reinterpret_cast<std::uintptr_t> (mapped);
            const std::uintptr_t aligned = (address + hugePage - 1) / hugePage * hugePage;
            if (aligned > address)
                munmap (mapped, aligned - address);
            const std::uintptr_t tail = aligned + size;
            const std::uintptr_t mappedEnd = address + size + hugePage;
            if (mappedEnd > tail)
                munmap (reinterpret_cast<void*> (tail), mappedEnd - tail);
            void* memory = reinterpret_cast<void*> (aligned);
            static_cast<void> (madvise (memory, size, MADV_HUGEPAGE)); // advice only
            return memory;
        }
#else
        // No huge pages to ask for here; the large block keeps the same
        // alignment all the same.
        if (bytes >= LargeAllocationSize)
            return ::operator new (bytes, std::align_val_t { LargeAllocationSize });
#endif
        return ::operator new (bytes);
    }

    void FreeLarge (void* memory, std::size_t bytes) noexcept
    {
        if (memory == nullptr)
            return;
#if defined(__linux__)
        if (bytes >= LargeAllocationSize)
        {
            munmap (memory, MappedSize (bytes));
            return;
        }
#else
        if (bytes >= LargeAllocationSize)
        {
            ::operator delete (memory, std::align_val_t { LargeAllocationSize });
            return;
        }
#endif
        ::operator delete (memory);
    }

    void ThrowLargeArrayFull()
    {
        throw std::length_error ("LargeArray: no room left");
    }

} // namespace Expr
