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

} // namespace KeyOrder
