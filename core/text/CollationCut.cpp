#include "CollationCut.h"

#include "Cp1250.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

TCollationCut::TCollationCut(const TCollationSequences& Sequences)
{
    if (!Sequences.Complete) {
        m_Joins.fill(true);
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const UChar32 c = Cp1250::ToUnicode(static_cast<unsigned char>(b)).unicode();
        m_Joins[std::size_t(b)] =
            u_getCombiningClass(c) != 0 ||
            u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) != 0 || u_isdigit(c);
    }
    // A contraction's or a context's characters after its first are read with the one before.
    for (const auto* listed : {&Sequences.Contractions, &Sequences.Contexts})
        for (const std::string& sequence : *listed)
            for (std::size_t k = 1; k < sequence.size(); ++k)
                m_Joins[static_cast<unsigned char>(sequence[k])] = true;
}

std::size_t TCollationCut::Shared(std::string_view Left, std::string_view Right) const
{
    const std::size_t n = std::min(Left.size(), Right.size());
    std::size_t same = 0;
    // Eight bytes at a time: sorted names share most of their beginnings with their neighbours.
    for (; std::endian::native == std::endian::little && same + 8 <= n; same += 8) {
        std::uint64_t l = 0;
        std::uint64_t r = 0;
        std::memcpy(&l, Left.data() + same, 8);
        std::memcpy(&r, Right.data() + same, 8);
        if (l != r) {
            same += std::size_t(std::countr_zero(l ^ r)) / 8; // the first byte is the lowest
            break;
        }
    }
    while (same < n && Left[same] == Right[same])
        ++same;
    // The comparison begins at a byte that stands on its own, before the first that differs.
    while (same > 0)
        if (!m_Joins[static_cast<unsigned char>(Left[--same])])
            break;
    return same;
}
