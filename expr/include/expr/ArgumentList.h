#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

namespace Expr
{

    namespace Detail
    {
        /** Memory for an argument list: from the arena of the parse in progress
        on this thread, like the nodes, and from the heap otherwise. */
        void* AllocateArguments (std::size_t bytes);

        /** Gives back memory from AllocateArguments (nothing for arena memory). */
        void ReleaseArguments (void* memory) noexcept;
    } // namespace Detail

    /** The arguments of a function call, in written order: read like a
    std::vector (size(), [], begin() and end()). A list of its own rather than
    a vector because a large formula holds millions of calls: it is half the
    size of the three pointers of a vector, and its elements are carved from
    the arena of the parse with the call's node instead of allocated one list
    at a time. */
    template<class T>
    class ArgumentList
    {
    public:
        ArgumentList() = default;
        ~ArgumentList()
        {
            for (std::uint32_t i = 0; i < count; ++i)
                items[i].~T();
            Detail::ReleaseArguments (items);
        }
        ArgumentList (const ArgumentList&) = delete;
        ArgumentList& operator= (const ArgumentList&) = delete;

        std::size_t size() const { return count; }
        bool empty() const { return count == 0; }

        T& operator[] (std::size_t index) { return items[index]; }
        const T& operator[] (std::size_t index) const { return items[index]; }
        T& front() { return items[0]; }
        const T& front() const { return items[0]; }
        T& back() { return items[count - 1]; }
        const T& back() const { return items[count - 1]; }

        T* begin() { return items; }
        T* end() { return items + count; }
        const T* begin() const { return items; }
        const T* end() const { return items + count; }

        /** Room for that many arguments in all, the list unchanged. */
        void reserve (std::size_t wanted)
        {
            if (wanted <= room)
                return;
            if (wanted > UINT32_MAX / 2)
                throw std::length_error ("Expr::ArgumentList");
            T* fresh = static_cast<T*> (Detail::AllocateArguments (wanted * sizeof (T)));
            for (std::uint32_t i = 0; i < count; ++i)
            {
                ::new (static_cast<void*> (fresh + i)) T (std::move (items[i]));
                items[i].~T();
            }
            Detail::ReleaseArguments (items);
            items = fresh;
            room = static_cast<std::uint32_t> (wanted);
        }

        void push_back (T&& value)
        {
            if (count == room)
            {
                T kept (std::move (value)); // value may live in the old storage
                reserve (room == 0 ? 4 : std::size_t { room } * 2);
                ::new (static_cast<void*> (items + count)) T (std::move (kept));
            }
            else
            {
                ::new (static_cast<void*> (items + count)) T (std::move (value));
            }
            ++count;
        }

        void push_back (const T& value)
        {
            T copy (value);
            push_back (std::move (copy));
        }

    private:
        T* items = nullptr;
        std::uint32_t count = 0;
        std::uint32_t room = 0;
    };

} // namespace Expr
