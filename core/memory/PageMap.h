#pragma once

#include <cstddef>

// Under the address sanitizer, blocks come from the heap it watches: a block freed too early
// or never freed shows.
#if defined(__SANITIZE_ADDRESS__)
#define DYSKAR_PAGES_FROM_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DYSKAR_PAGES_FROM_HEAP 1
#endif
#endif

// Memory taken from the system directly, aligned, in large pages where the system has them.
namespace PageMap {

// Size bytes (a multiple of 4096) starting at a multiple of Align (a power of two of at least
// 4096); null when refused. Where the block is whole large pages they are asked for; else its
// pages are asked for at once, when FillNow says so, rather than a fault each.
void* Map(std::size_t Size, std::size_t Align, bool FillNow);
void Unmap(void* Block, std::size_t Size);

// The size of a large page (2 MiB on x86-64).
constexpr std::size_t kLargePage = std::size_t(1) << 21;

// Whether blocks come from the sanitizer's heap, where none may be used again once given back.
#ifdef DYSKAR_PAGES_FROM_HEAP
constexpr bool kWatched = true;
#else
constexpr bool kWatched = false;
#endif

} // namespace PageMap
