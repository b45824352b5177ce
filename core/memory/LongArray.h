#pragma once

#include "PageMap.h"

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

// The room of long arrays. The room of the one let go of last is kept for the next of the same
// size: a list sorted again moves its rows into a new array as long as its old one, which would
// otherwise be taken fresh from the system and have every page cleared again.
namespace LongArrayRoom {
// Bytes (whole large pages) of room, starting on a large page; null when refused.
void* Take(std::size_t Bytes);
void Give(void* Block, std::size_t Bytes);
} // namespace LongArrayRoom

// An allocator for the arrays that hold something per row of a long list (the rows, their sort
// entries): an array of a megabyte or more is taken from the system in large pages, so that a
// million rows fault a few times, not thousands; a shorter one comes from the heap.
template <typename T> class TLongArrayAllocator
{
public:
    using value_type = T;
    static constexpr std::size_t kLong = std::size_t(1) << 20;

    TLongArrayAllocator() noexcept = default;
    template <typename U> TLongArrayAllocator(const TLongArrayAllocator<U>&) noexcept {}

    T* allocate(std::size_t Count)
    {
        const std::size_t bytes = Count * sizeof(T);
        if (Count > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        if (bytes < kLong)
            return std::allocator<T>().allocate(Count);
        void* block = LongArrayRoom::Take(Rounded(bytes));
        if (!block)
            throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* Array, std::size_t Count) noexcept
    {
        const std::size_t bytes = Count * sizeof(T);
        if (bytes < kLong)
            std::allocator<T>().deallocate(Array, Count);
        else
            LongArrayRoom::Give(Array, Rounded(bytes));
    }

    template <typename U> bool operator==(const TLongArrayAllocator<U>&) const noexcept
    {
        return true;
    }

private:
    // Whole large pages: the system backs them with large pages only when whole.
    static std::size_t Rounded(std::size_t Bytes)
    {
        return (Bytes + PageMap::kLargePage - 1) & ~(PageMap::kLargePage - 1);
    }
};

// A vector for something per row of a long list.
template <typename T> using TLongArray = std::vector<T, TLongArrayAllocator<T>>;
