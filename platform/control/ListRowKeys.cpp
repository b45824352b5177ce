#include "ListRowKeys.h"

#include <cstring>

using namespace Win;

namespace KeyOrder {

int ByKey(const LVSORTKEY& A, const LVSORTKEY& B)
{
    if (A.Failed || B.Failed)
        return 2;
    if (A.Prefix != B.Prefix)
        return A.Prefix < B.Prefix ? -1 : 1;
    if (A.Prefix2 != B.Prefix2)
        return A.Prefix2 < B.Prefix2 ? -1 : 1;
    const std::size_t n = std::min(A.Size, B.Size);
    const int c = n ? std::memcmp(A.Bytes, B.Bytes, n) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (A.Size != B.Size)
        return A.Size < B.Size ? -1 : 1;
    return A.Complete && B.Complete ? 0 : 2;
}

std::uint64_t Word(const LVSORTKEY& Key, std::size_t Depth)
{
    if (Depth < 2)
        return Depth == 0 ? Key.Prefix : Key.Prefix2;
    const std::size_t from = (Depth - 2) * 8;
    std::uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        word = (word << 8) | (i < Key.Size ? static_cast<unsigned char>(Key.Bytes[i]) : 0u);
    return word;
}

TOrder CountedOrder(const std::vector<LVSORTKEY>& Keys, const std::vector<std::uint32_t>& Ids,
                    bool Descending, TTies& Tied)
{
    const std::size_t count = Ids.size();
    // A key's rank; keys equal in their bytes share one.
    TTies tiedKeys(Keys.size(), false);
    auto keyBefore = [&](std::uint32_t A, std::uint32_t B, int) {
        const int k = ByKey(Keys[A], Keys[B]);
        return Descending ? k > 0 : k < 0;
    };
    const TOrder ranked = WordOrder(Keys, Descending, keyBefore, tiedKeys);
    std::vector<std::uint32_t> rank(Keys.size());
    for (std::size_t r = 0; r < ranked.size(); ++r)
        rank[ranked[r]] = r > 0 && tiedKeys[r] ? rank[ranked[r - 1]] : std::uint32_t(r);
    // Counted into place in their order, rows of one rank keep their order.
    std::vector<std::uint32_t> start(Keys.size() + 1, 0);
    for (const std::uint32_t id : Ids)
        ++start[rank[id] + 1];
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    TOrder order(count);
    for (std::size_t row = 0; row < count; ++row)
        order[start[rank[Ids[row]]]++] = static_cast<std::uint32_t>(row);
    for (std::size_t i = 1; i < count; ++i)
        Tied[i] = rank[Ids[order[i]]] == rank[Ids[order[i - 1]]];
    return order;
}

} // namespace KeyOrder
