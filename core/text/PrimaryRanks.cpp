#include "PrimaryRanks.h"

#include "Cp1250.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

struct TSetCloser
{
    void operator()(USet* Set) const { uset_close(Set); }
};
struct TElementsCloser
{
    void operator()(UCollationElements* Elements) const { ucol_closeElements(Elements); }
};

// Text's first-level weights, whole (a weight longer than two bytes comes in two halves);
// weights of zero (what the first level passes over) left out. Nothing where ICU fails.
std::optional<std::vector<std::uint32_t>> WeightsOf(const UCollator* Collator,
                                                    const std::u16string& Text)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollationElements, TElementsCloser> elements(
        ucol_openElements(Collator, reinterpret_cast<const UChar*>(Text.data()),
                          static_cast<int32_t>(Text.size()), &status));
    if (U_FAILURE(status) || !elements)
        return std::nullopt;
    std::vector<std::uint32_t> weights;
    bool lastWhole = false; // the last weight may take a second half
    for (;;) {
        const auto order = static_cast<std::uint32_t>(ucol_next(elements.get(), &status));
        if (U_FAILURE(status))
            return std::nullopt;
        if (order == static_cast<std::uint32_t>(UCOL_NULLORDER))
            break;
        const bool continuation = (order & 0xC0) == 0xC0;
        if (continuation && lastWhole) {
            weights.back() |= order >> 16;
            lastWhole = false;
            continue;
        }
        lastWhole = false;
        if (continuation || (order & 0xFFFF0000) == 0)
            continue; // a second half of a weight of zero, or a weight of zero
        weights.push_back(order & 0xFFFF0000);
        lastWhole = true;
    }
    return weights;
}

// The code page's characters of a text, or nothing where it holds another.
std::optional<std::string> BytesOf(const UChar* Text, int32_t Length)
{
    const std::optional<std::string> bytes = Cp1250::FromUnicode(
        QString(reinterpret_cast<const QChar*>(Text), static_cast<qsizetype>(Length)));
    if (!bytes || bytes->size() != std::size_t(Length) || bytes->find('\0') != std::string::npos)
        return std::nullopt;
    return bytes;
}

} // namespace

TPrimaryRanks::TPrimaryRanks(const UCollator* Collator)
{
    m_Usable = FirstLevelFirst(Collator) && Build(Collator);
}

bool TPrimaryRanks::FirstLevelFirst(const UCollator* Collator)
{
    UErrorCode status = U_ZERO_ERROR;
    const bool plain =
        ucol_getAttribute(Collator, UCOL_ALTERNATE_HANDLING, &status) == UCOL_NON_IGNORABLE &&
        ucol_getAttribute(Collator, UCOL_NUMERIC_COLLATION, &status) == UCOL_OFF;
    if (U_FAILURE(status) || !plain)
        return false;
    const int32_t reordered = ucol_getReorderCodes(Collator, nullptr, 0, &status);
    return reordered == 0 && (U_SUCCESS(status) || status == U_BUFFER_OVERFLOW_ERROR);
}

bool TPrimaryRanks::Build(const UCollator* Collator)
{
    // Letters read as one (contractions), and characters read by the one before them (a
    // context: "·" after "l"). Either is read as a unit where its characters stand together,
    // as the collation reads them, so long as no unit ends where a context begins.
    std::unique_ptr<USet, TSetCloser> contractions(uset_openEmpty());
    std::unique_ptr<USet, TSetCloser> withContexts(uset_openEmpty());
    if (!contractions || !withContexts)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    ucol_getContractionsAndExpansions(Collator, contractions.get(), nullptr, false, &status);
    ucol_getContractionsAndExpansions(Collator, withContexts.get(), nullptr, true, &status);
    if (U_FAILURE(status))
        return false;
    std::vector<std::pair<std::string, TWeights>> sequences;
    std::array<bool, 256> contextStarts{};
    std::array<bool, 256> unitEnds{};
    UChar text[64];
    for (int32_t i = 0, n = uset_getItemCount(withContexts.get()); i < n; ++i) {
        UChar32 from = 0;
        UChar32 to = 0;
        status = U_ZERO_ERROR;
        const int32_t length = uset_getItem(withContexts.get(), i, &from, &to, text, 64, &status);
        std::optional<std::string> bytes =
            length > 0 && U_SUCCESS(status) ? BytesOf(text, length) : std::nullopt;
        if (!bytes)
            continue; // one of the code page's texts can never hold it
        if (uset_containsString(contractions.get(), text, length))
            unitEnds[static_cast<unsigned char>(bytes->back())] = true;
        else if (length == 2)
            contextStarts[static_cast<unsigned char>(bytes->front())] = true;
        else
            return false; // a context of more than one character
        const std::optional<TWeights> weights = WeightsOf(
            Collator, std::u16string(reinterpret_cast<const char16_t*>(text), std::size_t(length)));
        if (!weights)
            return false;
        sequences.emplace_back(std::move(*bytes), *weights);
    }
    for (std::size_t b = 0; b < 256; ++b)
        if (unitEnds[b] && contextStarts[b])
            return false;
    std::array<TWeights, 256> single;
    for (int b = 1; b < 256; ++b) {
        const std::optional<TWeights> weights = WeightsOf(
            Collator,
            std::u16string(1, Cp1250::ToUnicode(static_cast<unsigned char>(b)).unicode()));
        if (!weights)
            return false;
        single[std::size_t(b)] = *weights;
    }
    // Every weight the code page's texts can give, in the collation's order, one rank each.
    TWeights ranked;
    for (const TWeights& weights : single)
        ranked.insert(ranked.end(), weights.begin(), weights.end());
    for (const auto& sequence : sequences)
        ranked.insert(ranked.end(), sequence.second.begin(), sequence.second.end());
    std::sort(ranked.begin(), ranked.end());
    ranked.erase(std::unique(ranked.begin(), ranked.end()), ranked.end());
    if (ranked.size() > 255)
        return false;
    for (std::size_t b = 0; b < 256; ++b)
        if (!RankOf(single[b], ranked, m_Byte[b]))
            return false;
    for (auto& [bytes, weights] : sequences) {
        TContraction contraction{std::move(bytes), {}};
        if (!RankOf(weights, ranked, contraction.Ranks))
            return false;
        m_Contractions[static_cast<unsigned char>(contraction.Bytes[0])].push_back(
            std::move(contraction));
    }
    for (auto& listed : m_Contractions)
        std::sort(listed.begin(), listed.end(), [](const TContraction& A, const TContraction& B) {
            return A.Bytes.size() > B.Bytes.size();
        });
    return true;
}

bool TPrimaryRanks::RankOf(const TWeights& Weights, const TWeights& Ranked, TRanks& Ranks) const
{
    if (Weights.size() > Ranks.Rank.size())
        return false;
    Ranks.Count = static_cast<unsigned char>(Weights.size());
    for (std::size_t i = 0; i < Weights.size(); ++i) {
        const auto at = std::lower_bound(Ranked.begin(), Ranked.end(), Weights[i]);
        Ranks.Rank[i] = static_cast<unsigned char>(at - Ranked.begin() + 1); // 0 ends a key
    }
    return true;
}

void TPrimaryRanks::Make(std::string_view Text, std::string& Key) const
{
    Key.resize(Text.size() * 4);
    char* out = Key.data();
    for (std::size_t i = 0; i < Text.size();) {
        const auto byte = static_cast<unsigned char>(Text[i]);
        const TRanks* ranks = &m_Byte[byte];
        std::size_t length = 1;
        for (const TContraction& contraction : m_Contractions[byte]) {
            if (Text.substr(i, contraction.Bytes.size()) == contraction.Bytes) {
                ranks = &contraction.Ranks;
                length = contraction.Bytes.size();
                break;
            }
        }
        for (unsigned char r = 0; r < ranks->Count; ++r)
            *out++ = static_cast<char>(ranks->Rank[r]);
        i += length;
    }
    Key.resize(static_cast<std::size_t>(out - Key.data()));
}
