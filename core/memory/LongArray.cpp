#include "LongArray.h"

#include <mutex>
#include <utility>

namespace LongArrayRoom {

namespace {

// The room of the long array let go of last. Guarded: a helper thread may let go of an array.
struct TKept
{
    std::mutex Guard;
    void* Block = nullptr;
    std::size_t Bytes = 0;
};

TKept& Kept()
{
    static TKept kept;
    return kept;
}

} // namespace

void* Take(std::size_t Bytes)
{
    TKept& kept = Kept();
    {
        const std::lock_guard lock(kept.Guard);
        if (kept.Block && kept.Bytes == Bytes) {
            kept.Bytes = 0;
            return std::exchange(kept.Block, nullptr);
        }
    }
    return PageMap::Map(Bytes, PageMap::kLargePage, false);
}

void Give(void* Block, std::size_t Bytes)
{
    if constexpr (PageMap::kWatched) {
        PageMap::Unmap(Block, Bytes); // a block used after it went must show
        return;
    }
    TKept& kept = Kept();
    void* before = nullptr;
    std::size_t beforeBytes = 0;
    {
        const std::lock_guard lock(kept.Guard);
        before = std::exchange(kept.Block, Block);
        beforeBytes = std::exchange(kept.Bytes, Bytes);
    }
    if (before)
        PageMap::Unmap(before, beforeBytes);
}

} // namespace LongArrayRoom
