#include "NodeArena.h"

#include "HugePages.h"

#include <expr/ArgumentList.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <unordered_set>

namespace Expr
{

    namespace
    {
        thread_local NodeArena* currentArena = nullptr;

        // operator new promises this alignment to every object that can need
        // it; an object's alignment divides its size, so a node whose size is
        // not a multiple of it is placed at the alignment its size allows, and
        // never below a pointer's.
        constexpr std::size_t largestAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
        constexpr std::size_t smallestAlignment = alignof (void*) > alignof (double) ? alignof (void*) : alignof (double);
        static_assert (largestAlignment % smallestAlignment == 0);
        // Pages of a block are only backed once nodes are carved from them, so
        // a large last block costs nothing beyond the part used.
        constexpr std::size_t largestBlock = 32 * 1024 * 1024;

        std::size_t AlignmentFor (std::size_t size)
        {
            const std::size_t sizeAllows = size & (~size + 1); // the lowest set bit
            if (sizeAllows == 0 || sizeAllows >= largestAlignment)
                return largestAlignment;
            return sizeAllows < smallestAlignment ? smallestAlignment : sizeAllows;
        }

        /** The nodes taken from the heap (outside any arena) that are still
        alive. Nodes carry no mark of their own, so this is how deleting a
        node tells the two kinds apart: a node not listed here came from an
        arena. Heap nodes are the rare kind (nodes made outside a parse), so
        while there are none, deleting a node looks nothing up. Never
        destroyed: a node may be deleted during static destruction. */
        class HeapNodes
        {
        public:
            static HeapNodes& Instance()
            {
                static HeapNodes* const instance = new HeapNodes();
                return *instance;
            }

            void* Allocate (std::size_t size)
            {
                void* memory = ::operator new (size);
                try
                {
                    const std::lock_guard<std::mutex> lock (mutex);
                    live.insert (memory);
                    count.store (live.size(), std::memory_order_release);
                }
                catch (...)
                {
                    ::operator delete (memory);
                    throw;
                }
                return memory;
            }

            /** Frees the memory if it is a heap node's; false for any other. */
            bool Release (void* memory) noexcept
            {
                if (count.load (std::memory_order_acquire) == 0)
                    return false;
                {
                    const std::lock_guard<std::mutex> lock (mutex);
                    if (live.erase (memory) == 0)
                        return false;
                    count.store (live.size(), std::memory_order_release);
                }
                ::operator delete (memory);
                return true;
            }

        private:
            HeapNodes() = default;

            std::mutex mutex;
            std::unordered_set<void*> live;
            std::atomic<std::size_t> count { 0 };
        };
    } // namespace

    NodeArena::Scope::Scope (NodeArena& arena)
        : previous (currentArena)
    {
        currentArena = &arena;
    }

    NodeArena::Scope::~Scope()
    {
        currentArena = previous;
    }

    NodeArena::~NodeArena()
    {
        for (const Block& block : blocks)
            FreeLarge (block.memory, block.size);
    }

    void* Detail::AllocateArguments (std::size_t bytes)
    {
        return NodeArena::AllocateNode (bytes);
    }

    void Detail::ReleaseArguments (void* memory) noexcept
    {
        NodeArena::ReleaseNode (memory);
    }

    void* NodeArena::AllocateNode (std::size_t size)
    {
        if (currentArena != nullptr)
            return currentArena->Allocate (size, AlignmentFor (size));
        return HeapNodes::Instance().Allocate (size);
    }

    void NodeArena::ReleaseNode (void* pointer) noexcept
    {
        if (pointer != nullptr)
            static_cast<void> (HeapNodes::Instance().Release (pointer));
    }

    void* NodeArena::Allocate (std::size_t size, std::size_t alignment)
    {
        // Blocks start at the largest alignment, so a fresh one needs no padding.
        const std::size_t padding = (alignment - reinterpret_cast<std::uintptr_t> (next) % alignment) % alignment;
        const std::size_t bytes = (std::max<std::size_t> (size, 1) + smallestAlignment - 1) / smallestAlignment * smallestAlignment;
        if (left < padding || bytes > left - padding)
        {
            AddBlock (bytes);
            return Allocate (size, alignment);
        }
        void* memory = next + padding;
        next += padding + bytes;
        left -= padding + bytes;
        return memory;
    }

    // Blocks double up to a limit, so a small formula takes one small block and
    // a huge one a few dozen large ones, each on huge pages from its start
    // where the system has them. Left uninitialised: every node constructs
    // what it uses.
    void NodeArena::AddBlock (std::size_t atLeast)
    {
        const std::size_t size = std::max (nextBlockSize, atLeast);
        blocks.reserve (blocks.size() + 1);
        auto* memory = static_cast<std::byte*> (AllocateLarge (size));
        blocks.push_back (Block { memory, size });
        nextBlockSize = std::min (nextBlockSize * 2, largestBlock);
        next = memory;
        left = size;
    }

} // namespace Expr
