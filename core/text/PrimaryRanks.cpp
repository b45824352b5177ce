#include "PrimaryRanks.h"

#include "Cp1250.h"

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

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

} // namespace

TPrimaryRanks::TPrimaryRanks(const UCollator* Collator, const TCollationSequences& Sequences)
{
    m_Usable = Sequences.Complete && FirstLevelFirst(Collator) && ReadAsUnits(Sequences) &&
               Build(Collator, Sequences);
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

bool TPrimaryRanks::ReadAsUnits(const TCollationSequences& Sequences)
{
    // Letters read as one (contractions), and characters read by the one before them (a
    // context: "·" after "l"). Either is read as a unit where its characters stand together,
    // as the collation reads them, so long as no unit ends where a context begins.
    std::array<bool, 256> contextStarts{};
    std::array<bool, 256> unitEnds{};
    for (const std::string& contraction : Sequences.Contractions)
        unitEnds[static_cast<unsigned char>(contraction.back())] = true;
    for (const std::string& context : Sequences.Contexts) {
        if (context.size() != 2)
            return false; // a context of more than one character
        contextStarts[static_cast<unsigned char>(context.front())] = true;
    }
    for (std::size_t b = 0; b < 256; ++b)
        if (unitEnds[b] && contextStarts[b])
            return false;
    return true;
}

bool TPrimaryRanks::Build(const UCollator* Collator, const TCollationSequences& Sequences)
{
    std::vector<std::pair<std::string, TWeights>> sequences;
    for (const auto* listed : {&Sequences.Contractions, &Sequences.Contexts}) {
        for (const std::string& sequence : *listed) {
            const QString text = Cp1250::ToUnicode(sequence);
            const std::optional<TWeights> weights =
                WeightsOf(Collator, std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   std::size_t(text.size())));
            if (!weights)
                return false;
            sequences.emplace_back(sequence, *weights);
        }
    }
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

const TPrimaryRanks::TRanks& TPrimaryRanks::UnitAt(std::string_view Text, std::size_t& At) const
{
    const auto byte = static_cast<unsigned char>(Text[At]);
    for (const TContraction& contraction : m_Contractions[byte]) {
        if (Text.substr(At, contraction.Bytes.size()) == contraction.Bytes) {
            At += contraction.Bytes.size();
            return contraction.Ranks;
        }
    }
    ++At;
    return m_Byte[byte];
}

void TPrimaryRanks::Make(std::string_view Text, std::string& Key) const
{
    Key.resize(Text.size() * 4);
    char* out = Key.data();
    for (std::size_t i = 0; i < Text.size();) {
        const TRanks& ranks = UnitAt(Text, i);
        for (unsigned char r = 0; r < ranks.Count; ++r)
            *out++ = static_cast<char>(ranks.Rank[r]);
    }
    Key.resize(static_cast<std::size_t>(out - Key.data()));
}

std::uint64_t TPrimaryRanks::Word(std::string_view Text, std::uint32_t& State) const
{
    // State: where the next unit begins, and how many of its ranks were read already (a unit
    // has at most four). A text too long to say where is read no further than a unit that
    // begins before kFarthest: its key then is only a beginning, the ranks of whole units,
    // which is all a sort needs where the comparison settles ties.
    constexpr std::size_t kFarthest = (std::size_t(1) << 30) - 256;
    std::size_t at = State >> 2;
    unsigned skip = State & 3u;
    std::uint64_t word = 0;
    unsigned filled = 0;
    while (at < Text.size() && at < kFarthest) {
        const std::size_t unit = at;
        const TRanks& ranks = UnitAt(Text, at);
        for (unsigned r = skip; r < ranks.Count; ++r) {
            if (filled == 8) {
                State = static_cast<std::uint32_t>(unit << 2 | r);
                return word;
            }
            word = word << 8 | ranks.Rank[r];
            ++filled;
        }
        skip = 0;
    }
    State = static_cast<std::uint32_t>(at << 2);
    return filled == 0 ? 0 : word << (8 * (8 - filled));
}

namespace {

// A text's key read a rank at a time, as far as a comparison needs it.
class TRankReader
{
public:
    explicit TRankReader(std::string_view Text) : m_Text(Text) {}
    // The next rank, 0 at the end of the text.
    template <typename TUnit> unsigned Next(TUnit Unit)
    {
        while (m_Next == m_Count) {
            if (m_At == m_Text.size())
                return 0;
            const auto& ranks = Unit(m_Text, m_At);
            m_Ranks = ranks.Rank.data();
            m_Count = ranks.Count;
            m_Next = 0;
        }
        return m_Ranks[m_Next++];
    }

private:
    std::string_view m_Text;
    std::size_t m_At = 0;
    const unsigned char* m_Ranks = nullptr;
    unsigned m_Count = 0;
    unsigned m_Next = 0;
};

} // namespace

int TPrimaryRanks::CompareFirstLevel(std::string_view Left, std::string_view Right) const
{
    auto unit = [this](std::string_view Text, std::size_t& At) -> const TRanks& {
        return UnitAt(Text, At);
    };
    TRankReader left(Left);
    TRankReader right(Right);
    for (;;) {
        const unsigned l = left.Next(unit);
        const unsigned r = right.Next(unit);
        if (l != r)
            return l < r ? -1 : 1;
        if (l == 0)
            return 0;
    }
}
