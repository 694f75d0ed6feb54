#include "NodeArena.h"

#include "HugePages.h"

#include <algorithm>
#include <new>

namespace Expr
{

    namespace
    {
        thread_local NodeArena* currentArena = nullptr;

        // Before every node: whether it came from an arena. As large as the
        // alignment operator new promises, so the node after it keeps that.
        struct alignas (__STDCPP_DEFAULT_NEW_ALIGNMENT__) NodeHeader
        {
            bool fromArena;
        };

        constexpr std::size_t headerSize = sizeof (NodeHeader);
        constexpr std::size_t alignment = alignof (NodeHeader);
        // Pages of a block are only backed once nodes are carved from them, so
        // a large last block costs nothing beyond the part used.
        constexpr std::size_t largestBlock = 32 * 1024 * 1024;

        std::size_t RoundUp (std::size_t bytes)
        {
            return (bytes + alignment - 1) / alignment * alignment;
        }

        void* AfterHeader (void* memory, bool fromArena)
        {
            auto* header = ::new (memory) NodeHeader { fromArena };
            return header + 1;
        }
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

    void* NodeArena::AllocateNode (std::size_t size)
    {
        const std::size_t bytes = headerSize + RoundUp (size);
        if (currentArena != nullptr)
            return AfterHeader (currentArena->Allocate (bytes), true);
        return AfterHeader (::operator new (bytes), false);
    }

    void NodeArena::ReleaseNode (void* pointer) noexcept
    {
        if (pointer == nullptr)
            return;
        auto* header = static_cast<NodeHeader*> (pointer) - 1;
        if (! header->fromArena)
            ::operator delete (header);
    }

    void* NodeArena::Allocate (std::size_t bytes)
    {
        if (bytes > left)
            AddBlock (bytes);
        void* memory = next;
        next += bytes;
        left -= bytes;
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
