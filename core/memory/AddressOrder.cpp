#include "AddressOrder.h"

#include <algorithm>

namespace {

// The bits cost at most this many bytes per block: the 32 KiB of bits of a 2 MiB region ask for
// 8192 blocks in it; the rows of a list made together stand 50 000 to a region.
constexpr std::size_t kBitBytesPerBlock = 4;

} // namespace

void TAddressOrder::Start(std::size_t Count)
{
    m_MostRegions = Count * kBitBytesPerBlock / (kRegionWords * 8);
    m_Regions.clear();
    m_Bits.clear();
    m_Aside.clear();
    m_LastNumber = ~std::uintptr_t(0);
    m_LastBits = nullptr;
    m_Slots.assign(m_MostRegions == 0 ? 0 : std::bit_ceil(2 * m_MostRegions), TSlot{0, nullptr});
    m_Regions.reserve(m_MostRegions);
    // Room asked for, not touched: a region's bits are cleared only when a block is met in it.
    m_Bits.reserve(m_MostRegions * kRegionWords);
}

std::uint64_t* TAddressOrder::BitsOf(std::uintptr_t Number)
{
    const std::size_t mask = m_Slots.size() - 1;
    // Region numbers of one list lie close together: a multiplicative hash spreads them.
    std::size_t slot = std::size_t(Number * 0x9E3779B97F4A7C15ull >> 40) & mask;
    for (; m_Slots[slot].Number != 0; slot = (slot + 1) & mask)
        if (m_Slots[slot].Number == Number + 1)
            return m_Slots[slot].Bits;
    if (m_Regions.size() == m_MostRegions)
        return nullptr;
    m_Regions.push_back({Number, m_Bits.size()});
    m_Bits.resize(m_Bits.size() + kRegionWords, 0); // within the room asked for: nothing moves
    m_Slots[slot] = {Number + 1, m_Bits.data() + m_Regions.back().FirstWord};
    return m_Slots[slot].Bits;
}

void TAddressOrder::Add(const void* Block)
{
    const auto address = reinterpret_cast<std::uintptr_t>(Block);
    const std::uintptr_t number = address >> kRegionShift;
    std::uint64_t* bits = nullptr;
    if (number == m_LastNumber) {
        bits = m_LastBits;
    } else {
        bits = m_Slots.empty() ? nullptr : BitsOf(number);
        if (!bits) {
            m_Aside.push_back(Block);
            return;
        }
        m_LastNumber = number;
        m_LastBits = bits;
    }
    const std::size_t eighth = (address & ((std::uintptr_t(1) << kRegionShift) - 1)) / 8;
    bits[eighth / 64] |= std::uint64_t(1) << (eighth % 64);
}

std::vector<TAddressOrder::TRegion> TAddressOrder::RegionsInOrder() const
{
    std::vector<TRegion> regions = m_Regions;
    std::sort(regions.begin(), regions.end(),
              [](const TRegion& A, const TRegion& B) { return A.Number < B.Number; });
    return regions;
}
