#include "CollationCut.h"

#include "Cp1250.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uset.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

struct TSetCloser
{
    void operator()(USet* Set) const { uset_close(Set); }
};

// The byte that stands for Character, or none where the code page has no such character.
int ByteOf(UChar32 Character)
{
    if (Character <= 0 || Character > 0xFFFF)
        return -1;
    const std::optional<std::string> bytes =
        Cp1250::FromUnicode(QString(QChar(static_cast<char16_t>(Character))));
    return bytes && bytes->size() == 1 ? static_cast<unsigned char>((*bytes)[0]) : -1;
}

} // namespace

TCollationCut::TCollationCut()
{
    m_Joins.fill(true);
}

TCollationCut::TCollationCut(const UCollator* Collator)
{
    for (int b = 0; b < 256; ++b) {
        const UChar32 c = Cp1250::ToUnicode(static_cast<unsigned char>(b)).unicode();
        m_Joins[std::size_t(b)] =
            u_getCombiningClass(c) != 0 ||
            u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) != 0 || u_isdigit(c);
    }
    // A contraction's or a context's characters after its first are read with the one before.
    std::unique_ptr<USet, TSetCloser> sequences(uset_openEmpty());
    UErrorCode status = U_ZERO_ERROR;
    if (sequences)
        ucol_getContractionsAndExpansions(Collator, sequences.get(), nullptr, true, &status);
    if (!sequences || U_FAILURE(status)) {
        m_Joins.fill(true);
        return;
    }
    const int32_t items = uset_getItemCount(sequences.get());
    std::u16string text(64, u'\0');
    for (int32_t i = 0; i < items; ++i) {
        UChar32 from = 0;
        UChar32 to = 0;
        status = U_ZERO_ERROR;
        int32_t length =
            uset_getItem(sequences.get(), i, &from, &to, reinterpret_cast<UChar*>(text.data()),
                         static_cast<int32_t>(text.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            text.resize(std::size_t(length));
            status = U_ZERO_ERROR;
            length = uset_getItem(sequences.get(), i, &from, &to,
                                  reinterpret_cast<UChar*>(text.data()), length, &status);
        }
        if (U_FAILURE(status)) {
            m_Joins.fill(true);
            return;
        }
        for (int32_t k = 1; k < length; ++k) // a range of single characters has length 0
            if (const int byte = ByteOf(text[std::size_t(k)]); byte >= 0)
                m_Joins[std::size_t(byte)] = true;
    }
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
