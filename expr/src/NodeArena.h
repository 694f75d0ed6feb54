#pragma once

#include <cstddef>
#include <vector>

namespace Expr
{

    /** The memory of one parsed tree: nodes are carved one after another from
    large blocks and given back all at once when the arena is destroyed, so
    that a formula of millions of nodes costs a few allocations instead of
    one per node.

    Node's operator new draws from the arena installed on the calling thread
    by a Scope (the parse of an expression) and from the heap outside one.
    Nodes carry no header: the heap ones are listed while they live, so that
    deleting a node is right either way. Deleting an arena node only runs
    its destructor: the arena must outlive the nodes carved from it. */
    class NodeArena
    {
    public:
        NodeArena() = default;
        ~NodeArena();
        NodeArena (const NodeArena&) = delete;
        NodeArena& operator= (const NodeArena&) = delete;

        /** Installs an arena for node allocations on this thread for the
        scope's lifetime; the previous one (if any) comes back after it. */
        class Scope
        {
        public:
            explicit Scope (NodeArena& arena);
            ~Scope();
            Scope (const Scope&) = delete;
            Scope& operator= (const Scope&) = delete;

        private:
            NodeArena* const previous;
        };

        /** Memory for a node of the given size: from this thread's arena when a
        Scope is active, else from the heap. */
        static void* AllocateNode (std::size_t size);

        /** Gives back memory from AllocateNode: to the heap if it came from
        there, to nobody if it came from an arena. */
        static void ReleaseNode (void* pointer) noexcept;

    private:
        void* Allocate (std::size_t size, std::size_t alignment);
        void AddBlock (std::size_t atLeast);

        struct Block
        {
            std::byte* memory;
            std::size_t size;
        };

        std::vector<Block> blocks;
        std::byte* next = nullptr;
        std::size_t left = 0;
        std::size_t nextBlockSize = 64 * 1024;
    };

} // namespace Expr
