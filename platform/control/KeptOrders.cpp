#include "KeptOrders.h"

#include <algorithm>

void TKeptOrders::Keep(std::uint64_t Order, bool Descending, const TTies& Tied)
{
    std::erase_if(m_Kept, [&](const TKept& Kept) { return Kept.Order == Order; });
    if (m_Kept.size() >= kMost)
        m_Kept.erase(m_Kept.begin());
    TKept kept;
    kept.Order = Order;
    const std::size_t count = Tied.size();
    kept.Ranks.resize(count);
    // Runs of equal rows share a rank, counted from the first row.
    std::uint32_t run = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && !Tied[i])
            ++run;
        kept.Ranks[i] = run;
    }
    kept.Distinct = count == 0 ? 0 : run + 1;
    // Rows sorted descending stand from the greatest key: the ranks are counted the other way.
    if (Descending)
        for (std::uint32_t& rank : kept.Ranks)
            rank = kept.Distinct - 1 - rank;
    m_Kept.push_back(std::move(kept));
}

void TKeptOrders::Follow(const TOrder& Moved)
{
    std::vector<std::uint32_t> moved(Moved.size());
    for (TKept& kept : m_Kept) {
        for (std::size_t i = 0; i < Moved.size(); ++i)
            moved[i] = kept.Ranks[Moved[i]];
        kept.Ranks.swap(moved);
    }
}

void TKeptOrders::FollowTurn(const TTies& Tied)
{
    // The same moves as the rows': each run turned, then all of them.
    const std::size_t count = Tied.size();
    for (TKept& kept : m_Kept) {
        std::size_t runStart = 0;
        for (std::size_t i = 1; i <= count; ++i) {
            if (i < count && Tied[i])
                continue;
            std::reverse(kept.Ranks.begin() + std::ptrdiff_t(runStart),
                         kept.Ranks.begin() + std::ptrdiff_t(i));
            runStart = i;
        }
        std::reverse(kept.Ranks.begin(), kept.Ranks.end());
    }
}

std::optional<TKeptOrders::TOrder> TKeptOrders::Regroup(std::uint64_t Order, bool Descending,
                                                        TTies& Tied) const
{
    const auto it = std::find_if(m_Kept.begin(), m_Kept.end(),
                                 [&](const TKept& Kept) { return Kept.Order == Order; });
    if (it == m_Kept.end())
        return std::nullopt;
    const std::vector<std::uint32_t>& ranks = it->Ranks;
    const std::uint32_t distinct = it->Distinct;
    auto slot = [&](std::uint32_t Rank) { return Descending ? distinct - 1 - Rank : Rank; };
    // A counting sort by rank: the rows of each rank go in the order they stand in.
    std::vector<std::uint32_t> first(std::size_t(distinct) + 1, 0);
    for (const std::uint32_t rank : ranks)
        ++first[slot(rank) + 1];
    for (std::size_t r = 1; r < first.size(); ++r)
        first[r] += first[r - 1];
    TOrder order(ranks.size());
    for (std::size_t i = 0; i < ranks.size(); ++i)
        order[first[slot(ranks[i])]++] = static_cast<std::uint32_t>(i);
    Tied.assign(ranks.size(), false);
    for (std::size_t i = 1; i < order.size(); ++i)
        Tied[i] = ranks[order[i]] == ranks[order[i - 1]];
    return order;
}
