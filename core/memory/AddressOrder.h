#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The blocks of a long list (its rows) visited in the order they stand in memory, not in the
// list's: after a sort, a pass in list order waits for memory at every block, and letting go of
// a million rows so took more than twice as long as in memory order. A block is marked by one
// bit for each eight bytes of the 2 MiB region it lies in; blocks spread over more regions than
// pays are kept aside and visited last, as they were given.
class TAddressOrder
{
public:
    TAddressOrder() = default;
    // For about Count blocks at addresses that are multiples of eight, none twice.
    explicit TAddressOrder(std::size_t Count) { Start(Count); }

    // Starts again, for about Count blocks. The room of the uses before is kept: a list let go
    // of again and again (a view rebuilt) would otherwise ask the system for its marks afresh
    // each time, and fresh memory costs more than marking.
    void Start(std::size_t Count);

    void Add(const void* Block);
    // Calls Visit(void*) for every block added: lowest address first, those kept aside last.
    template <typename TVisit> void ForEach(TVisit&& Visit) const;

private:
    static constexpr unsigned kRegionShift = 21;
    static constexpr std::size_t kRegionWords = (std::size_t(1) << kRegionShift) / 8 / 64;

    struct TRegion
    {
        std::uintptr_t Number;
        std::size_t FirstWord;
    };

    struct TSlot
    {
        std::uintptr_t Number; // of the region, + 1; 0 for a free slot
        std::uint64_t* Bits;
    };

    std::uint64_t* BitsOf(std::uintptr_t Number);
    std::vector<TRegion> RegionsInOrder() const;

    std::size_t m_MostRegions = 0;
    std::vector<TRegion> m_Regions; // in the order met
    std::vector<TSlot> m_Slots;     // a hash of region numbers
    std::vector<std::uint64_t> m_Bits;
    std::vector<const void*> m_Aside;
    std::uintptr_t m_LastNumber = ~std::uintptr_t(0);
    std::uint64_t* m_LastBits = nullptr;
};

template <typename TVisit> void TAddressOrder::ForEach(TVisit&& Visit) const
{
    for (const TRegion& region : RegionsInOrder()) {
        const std::uintptr_t base = region.Number << kRegionShift;
        const std::uint64_t* bits = m_Bits.data() + region.FirstWord;
        for (std::size_t word = 0; word < kRegionWords; ++word) {
            for (std::uint64_t set = bits[word]; set != 0; set &= set - 1) {
                const auto bit = std::size_t(std::countr_zero(set));
                Visit(reinterpret_cast<void*>(base + (word * 64 + bit) * 8));
            }
        }
    }
    for (const void* block : m_Aside)
        Visit(const_cast<void*>(block));
}
