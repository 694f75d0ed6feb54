#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace Expr
{

    /** Memory for a large table or block, uninitialised. From LargeAllocationSize
    bytes on, it is mapped on its own at a 2 MB boundary and the system is
    asked to back it with huge pages when they are first touched, where it
    can (Linux, transparent huge pages in "madvise" mode), so that every page
    of it can be a huge one (the heap would place it anywhere and lose the
    pages at both ends): a formula of millions of tokens and nodes fills
    hundreds of megabytes once, and a fault per 4 KB page costs more than the
    parse itself. Smaller sizes come from the heap. Throws std::bad_alloc
    when there is no memory. */
    void* AllocateLarge (std::size_t bytes);

    /** Gives back memory from AllocateLarge, given the same size. */
    void FreeLarge (void* memory, std::size_t bytes) noexcept;

    /** A table of a size fixed when it is made, in memory from AllocateLarge:
    the token lists of a parse, which for a large formula hold millions of
    entries and are filled once. Only for trivially copyable elements. */
    template<class T>
    class LargeArray
    {
        static_assert (std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

    public:
        LargeArray() = default;
        ~LargeArray() { Release(); }
        LargeArray (const LargeArray&) = delete;
        LargeArray& operator= (const LargeArray&) = delete;

        /** Empties the table and makes room for capacity elements. */
        void Reset (std::size_t capacity)
        {
            Release();
            if (capacity == 0)
                return;
            items = static_cast<T*> (AllocateLarge (capacity * sizeof (T)));
            room = capacity;
        }

        /** Empties the table and fills count elements with value. */
        void Fill (std::size_t count, const T& value)
        {
            Reset (count);
            for (std::size_t i = 0; i < count; ++i)
                items[i] = value;
            used = count;
        }

        /** Appends within the room made by Reset; beyond it the element is refused
        with std::length_error rather than written past the end. */
        void PushBack (const T& value);

        std::size_t Size() const { return used; }
        bool Empty() const { return used == 0; }
        const T* Data() const { return items; }
        T& operator[] (std::size_t index) { return items[index]; }
        const T& operator[] (std::size_t index) const { return items[index]; }

    private:
        void Release() noexcept
        {
            if (items != nullptr)
                FreeLarge (items, room * sizeof (T));
            items = nullptr;
            room = 0;
            used = 0;
        }

        T* items = nullptr;
        std::size_t room = 0;
        std::size_t used = 0;
    };

    [[noreturn]] void ThrowLargeArrayFull();

    template<class T>
    void LargeArray<T>::PushBack (const T& value)
    {
        if (used == room)
            ThrowLargeArrayFull();
        items[used++] = value;
    }

    /** The size from which AllocateLarge maps memory of its own. */
    constexpr std::size_t LargeAllocationSize = 2 * 1024 * 1024;

} // namespace Expr
