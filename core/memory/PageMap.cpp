#include "PageMap.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace PageMap {

void* Map(std::size_t Size, std::size_t Align, bool FillNow)
{
#ifdef DYSKAR_PAGES_FROM_HEAP
    (void)FillNow;
    void* block = nullptr;
    return ::posix_memalign(&block, Align, Size) == 0 ? block : nullptr;
#else
#ifdef MADV_POPULATE_WRITE
    constexpr int populateWrite = MADV_POPULATE_WRITE;
#else
    constexpr int populateWrite = 23; // older headers lack it; older systems refuse it, harmlessly
#endif
    // Mapped with room to spare; what lies outside the aligned block is given back.
    const std::size_t mappedSize = Size + Align;
    void* mapped =
        ::mmap(nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t block = (start + Align - 1) & ~(std::uintptr_t(Align) - 1);
    if (block > start)
        ::munmap(mapped, block - start);
    if (const std::uintptr_t end = start + mappedSize; end > block + Size)
        ::munmap(reinterpret_cast<void*>(block + Size), end - (block + Size));
    // Wishes, not needs: the system may have no large pages, or an old one no such advice.
    if (Size % kLargePage == 0 && Align % kLargePage == 0)
        ::madvise(reinterpret_cast<void*>(block), Size, MADV_HUGEPAGE);
    else if (FillNow)
        ::madvise(reinterpret_cast<void*>(block), Size, populateWrite);
    return reinterpret_cast<void*>(block);
#endif
}

void Unmap(void* Block, std::size_t Size)
{
#ifdef DYSKAR_PAGES_FROM_HEAP
    (void)Size;
    std::free(Block);
#else
    ::munmap(Block, Size);
#endif
}

} // namespace PageMap
