#pragma once

#include "ListRowKeys.h"

#include <cstdint>
#include <optional>
#include <vector>

// The orders a list's rows were sorted in lately, kept as each row's rank in them (equal rows
// share one), so that going back to one regroups the rows in two passes instead of sorting
// them again. The ranks follow the rows as they move, and hold until a row comes, goes or
// changes.
class TKeptOrders
{
public:
    using TOrder = KeyOrder::TOrder;
    using TTies = KeyOrder::TTies;

    // How many orders are kept at most: a list's columns a user goes back and forth between.
    // Each costs four bytes a row.
    static constexpr std::size_t kMost = 4;

    bool Empty() const { return m_Kept.empty(); }
    // Forgets every order: the rows came, went or changed.
    void Clear() { m_Kept.clear(); }
    // The rows stand sorted in Order, Descending or not, each equal to the one before it where
    // Tied says so: kept, in place of what Order had and of the order least lately kept.
    void Keep(std::uint64_t Order, bool Descending, const TTies& Tied);
    // The rows moved: row i now is the row that stood at Moved[i].
    void Follow(const TOrder& Moved);
    // The rows turned round, each run of equal rows keeping its order (Tied gives the runs
    // before the turn).
    void FollowTurn(const TTies& Tied);
    // Where Order is kept, where each row goes when the rows are sorted in it, Descending or
    // not: equal rows keep the order they stand in now, as in a stable sort. Tied gets the
    // ties of that order. Nothing when Order is not kept.
    std::optional<TOrder> Regroup(std::uint64_t Order, bool Descending, TTies& Tied) const;

private:
    struct TKept
    {
        std::uint64_t Order = 0;
        // By row as the rows stand: the rank of its key, 0 the least; equal keys, equal ranks.
        std::vector<std::uint32_t> Ranks;
        std::uint32_t Distinct = 0;
    };
    std::vector<TKept> m_Kept; // the most lately kept last
};
