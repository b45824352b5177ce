#include "ListRowSort.h"

#include "ListRowCalls.h"
#include "ListRowWords.h"
#include "ReadAhead.h"
#include "SplitWork.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>

using namespace Win;

namespace ListRowSort {

namespace {

// How many rows ahead the passes of a sort ask for what they will read: each reads little per
// row, so half the usual distance hides a memory access.
constexpr std::size_t kAhead = ReadAhead::kRows / 2;

// How many rows' keys make it worth a second thread to make half of them: a key costs about
// a microsecond, a thread tens of them.
constexpr std::size_t kLeastKeysPerThread = 8192;

// Rows sorted by the last sort and changed in a few places since are put in order without a
// sort: the result is the stable sort's all the same. Nothing when the rows are too far from
// sorted for that to pay.
template <typename TLess, typename TReadAhead>
std::optional<TOrder> NearlySortedOrder(std::size_t Count, TLess Before, TReadAhead ReadAheadOf)
{
    TOrder order(Count);
    for (std::size_t i = 0; i < Count; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    if (Count < 2)
        return order;

    // Sorted the other way round (a click that turns the direction): reversed, with each run
    // of equal rows turned back so that equal rows keep their order.
    bool descending = true;
    for (std::size_t i = 1; i < Count && descending; ++i) {
        if (i + kAhead < Count)
            ReadAheadOf(i + kAhead);
        descending = !Before(order[i - 1], order[i]);
    }
    if (descending) {
        std::size_t runStart = 0;
        for (std::size_t i = 1; i <= Count; ++i) {
            if (i < Count && !Before(order[i], order[i - 1]))
                continue; // still equal to the run's rows
            std::reverse(order.begin() + std::ptrdiff_t(runStart),
                         order.begin() + std::ptrdiff_t(i));
            runStart = i;
        }
        std::reverse(order.begin(), order.end());
        return order;
    }

    // A few rows out of place: set aside whichever row of a descent breaks the order, keep
    // the others (already in order), sort the few and merge them in.
    const std::size_t limit = std::max<std::size_t>(16, Count / 64);
    TOrder kept;
    TOrder aside;
    kept.reserve(Count);
    for (std::size_t i = 0; i < Count; ++i) {
        if (i + kAhead < Count)
            ReadAheadOf(i + kAhead);
        const std::uint32_t row = order[i];
        if (kept.empty() || !Before(row, kept.back())) {
            kept.push_back(row);
        } else if (kept.size() >= 2 && !Before(row, kept[kept.size() - 2])) {
            aside.push_back(kept.back()); // the row before stood too early
            kept.back() = row;
        } else {
            aside.push_back(row);
        }
        if (aside.size() > limit)
            return std::nullopt;
    }
    if (aside.empty())
        return order;
    std::sort(aside.begin(), aside.end());
    std::stable_sort(aside.begin(), aside.end(), Before);
    // Equal rows keep their original order across the two lists.
    auto first = [&](std::uint32_t A, std::uint32_t B) {
        return Before(A, B) || (!Before(B, A) && A < B);
    };
    std::merge(aside.begin(), aside.end(), kept.begin(), kept.end(), order.begin(), first);
    return order;
}

// The rows put in Order; Moved, where given, gets Order unless no row moved.
void Permute(TRows& Rows, TOrder&& Order, TOrder* Moved)
{
    bool identity = true;
    for (std::size_t i = 0; i < Order.size() && identity; ++i)
        identity = Order[i] == i;
    if (identity)
        return;
    Move(Rows, Order);
    if (Moved)
        *Moved = std::move(Order);
}

// Rows that already stand in the sort's order cost one comparison per neighbouring pair and
// no keys: a catalogue saved by name comes back in name order, and its first sort by name
// would otherwise collate every name for nothing. Gives up at the first pair out of order.
std::optional<TTies> TiesIfInOrder(const TRows& Rows, PFNLVCOMPARE Compare, LPARAM SortParam)
{
    TTies tied(Rows.size(), false);
    for (std::size_t i = 1; i < Rows.size(); ++i) {
        if (i + kAhead < Rows.size()) {
            ReadAhead::Ask(Rows[i + kAhead].get());
            Rows[i + kAhead / 2]->Text.ReadAhead();
        }
        const int c = CompareSafely(Compare, Rows[i - 1]->Param(), Rows[i]->Param(), SortParam);
        if (c > 0)
            return std::nullopt;
        tied[i] = c == 0;
    }
    return tied;
}

// How many neighbouring pairs make it worth a second thread to compare half of them: a
// comparison costs a tenth of a microsecond or more, a thread tens of microseconds.
constexpr std::size_t kLeastPairsPerThread = 16384;

// One worker's share of the pairs [Begin, End) (pair i: row i and the one before it) compared
// into Tied (Tied[0] for pair Begin); stops at a pair out of order, which it tells OutOfOrder,
// or soon after the other worker told it.
void ComparePairs(const TRows& Rows, const LVSORTKEYED& Sort, int Worker, std::size_t Begin,
                  std::size_t End, TTies& Tied, std::atomic<bool>& OutOfOrder)
{
    Tied.assign(End - Begin, false);
    for (std::size_t i = std::max<std::size_t>(Begin, 1); i < End; ++i) {
        if (i % 1024 == 0 && OutOfOrder.load(std::memory_order_relaxed))
            return;
        if (i + kAhead < Rows.size()) {
            ReadAhead::Ask(Rows[i + kAhead].get());
            Rows[i + kAhead / 2]->Text.ReadAhead();
        }
        const int c = WorkerCompareSafely(Sort, Rows[i - 1]->Param(), Rows[i]->Param(), Worker);
        if (c > 0) {
            OutOfOrder.store(true, std::memory_order_relaxed);
            return;
        }
        Tied[i - Begin] = c == 0;
    }
}

// TiesIfInOrder on two threads, half the pairs each, where the sorter can compare on two: a
// catalogue of a million names saved in name order is proven so at every start.
std::optional<TTies> TiesIfInOrder(const TRows& Rows, const LVSORTKEYED& Sort)
{
    const std::size_t count = Rows.size();
    if (!Sort.WorkerCompare || count < 2 * kLeastPairsPerThread)
        return TiesIfInOrder(Rows, Sort.Compare, Sort.SortParam);
    std::atomic<bool> outOfOrder = false;
    TTies parts[2];
    TSplitWork::Run(
        count, kLeastPairsPerThread, [&](int Worker, std::size_t Begin, std::size_t End) {
            ComparePairs(Rows, Sort, Worker, Begin, End, parts[Begin == 0 ? 0 : 1], outOfOrder);
        });
    if (outOfOrder)
        return std::nullopt;
    TTies tied(parts[0].begin(), parts[0].end());
    tied.insert(tied.end(), parts[1].begin(), parts[1].end());
    return tied;
}

// Rows in the sort's order but for a few (a master list sorted by name, a row of it edited)
// are put in order by comparisons alone, with no keys: a few passes, where making the keys
// would collate every row. Nothing when the rows are too far from sorted.
std::optional<TTies> ByComparisonIfNearlySorted(TRows& Rows, const LVSORTKEYED& Sort, TOrder* Moved)
{
    if (std::optional<TTies> tied = TiesIfInOrder(Rows, Sort))
        return tied; // the usual case, in one pass
    auto before = [&](std::uint32_t A, std::uint32_t B) {
        return Less(Sort.Compare, Rows[A]->Param(), Rows[B]->Param(), Sort.SortParam);
    };
    auto readAhead = [&](std::size_t Row) { Rows[Row]->Text.ReadAhead(); };
    std::optional<TOrder> order = NearlySortedOrder(Rows.size(), before, readAhead);
    if (!order)
        return std::nullopt;
    TTies tied(Rows.size(), false);
    for (std::size_t i = 1; i < Rows.size(); ++i)
        tied[i] = !before((*order)[i - 1], (*order)[i]);
    Permute(Rows, std::move(*order), Moved);
    return tied;
}

// Keys read from the rows a word at a time, only as far as their ties need: no key is kept
// whole, where a million rows' keys and their tails would hold some 50 MB beside the sort's
// own entries. Nothing where a row's word could not be read.
std::optional<TOrder> ByKeyWords(const TRows& Rows, const LVSORTKEYED& Sort, TTies& Tied)
{
    auto before = [&](std::uint32_t A, std::uint32_t B, int Worker) {
        return ComparedBefore(Sort, *Rows[A], *Rows[B], Worker);
    };
    TRowKeyWords words(Rows, Sort);
    TOrder order = KeyOrder::TWordOrder(words, Rows.size(), Sort.Descending, before)
                       .Run(Tied, Sort.WorkerCompare != nullptr);
    if (words.Failed()) {
        Tied.assign(Rows.size(), false);
        return std::nullopt;
    }
    return order;
}

} // namespace

void Move(TRows& Rows, const TOrder& Order)
{
    TRows sorted;
    sorted.reserve(Rows.size());
    for (const std::uint32_t i : Order)
        sorted.push_back(std::move(Rows[i]));
    Rows.swap(sorted);
}

void ByComparison(TRows& Rows, PFNLVCOMPARE Compare, LPARAM SortParam, TOrder* Moved)
{
    auto before = [&](std::uint32_t A, std::uint32_t B) {
        return Less(Compare, Rows[A]->Param(), Rows[B]->Param(), SortParam);
    };
    std::optional<TOrder> order = NearlySortedOrder(Rows.size(), before, [](std::size_t) {});
    if (!order) {
        order.emplace(Rows.size());
        for (std::size_t i = 0; i < Rows.size(); ++i)
            (*order)[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order->begin(), order->end(), before);
    }
    Permute(Rows, std::move(*order), Moved);
}

TTies ByKeys(TRows& Rows, const LVSORTKEYED& Sort, TOrder* Moved)
{
    if (std::optional<TTies> tied = ByComparisonIfNearlySorted(Rows, Sort, Moved))
        return std::move(*tied);
    const std::size_t count = Rows.size();
    TTies tied(count, false);
    if (Sort.KeyWords) {
        if (std::optional<TOrder> order = ByKeyWords(Rows, Sort, tied)) {
            Permute(Rows, std::move(*order), Moved);
            return tied;
        }
    }
    // Each row's key is asked for once; the keys decide most pairs without touching the rows,
    // and the rows move only once everything has been put in order. A key usually lives with
    // its row's texts: rows, texts and keys are asked for ahead, in three steps, as each needs
    // the one before at hand.
    std::atomic<bool> incomplete = false;
    auto keyOf = [&](std::size_t Row, LVSORTKEY& Key, int Worker = -1) {
        if (Row + 3 * kAhead < count)
            ReadAhead::Ask(Rows[Row + 3 * kAhead].get());
        if (Row + 2 * kAhead < count)
            Rows[Row + 2 * kAhead]->Text.ReadAhead();
        if (Row + kAhead < count)
            Rows[Row + kAhead]->Text.ReadAheadCache();
        KeySafely(Sort, *Rows[Row], Key, Worker);
        if (!Key.Complete)
            incomplete.store(true, std::memory_order_relaxed);
    };
    // Keys of rows that hardly share them are most of a first sort's time (a collation per
    // row): where the sorter can, two threads make them, each for half of the rows.
    auto keysFrom = [&](std::size_t From, std::size_t To, std::vector<LVSORTKEY>& Keys) {
        if (!Sort.WorkerKey) {
            for (std::size_t row = From; row < To; ++row)
                keyOf(row, Keys[row]);
            return;
        }
        TSplitWork::Run(To - From, kLeastKeysPerThread,
                        [&](int Worker, std::size_t Begin, std::size_t End) {
                            for (std::size_t row = From + Begin; row < From + End; ++row)
                                keyOf(row, Keys[row], Worker);
                        });
    };
    std::vector<LVSORTKEY> keys;
    if (std::optional<TOrder> order = KeyOrder::SharedKeyOrder(
            count, Sort.Descending, keyOf, keysFrom, tied, keys, Sort.WorkerKey != nullptr)) {
        Permute(Rows, std::move(*order), Moved);
        return tied;
    }
    // Rows nearly in order were put in order above; the keys sort the rest.
    auto before = [&](std::uint32_t A, std::uint32_t B, int Worker) {
        return KeyedBefore(Sort, *Rows[A], keys[A], *Rows[B], keys[B], Worker);
    };
    // Complete keys leave no pair to the comparison, and a sorter that compares on two threads
    // settles those left on either: the keys are read on two threads.
    Permute(Rows,
            KeyOrder::WordOrder(keys, Sort.Descending, before, tied,
                                !incomplete || Sort.WorkerCompare != nullptr),
            Moved);
    return tied;
}

void TurnRound(TRows& Rows, TTies& Tied)
{
    // Each run of equal rows is turned first, so that it keeps its order once all is turned.
    const std::size_t count = Rows.size();
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= count; ++i) {
        if (i < count && Tied[i])
            continue;
        std::reverse(Rows.begin() + std::ptrdiff_t(runStart), Rows.begin() + std::ptrdiff_t(i));
        runStart = i;
    }
    std::reverse(Rows.begin(), Rows.end());
    // Row i and the one before it now are rows count - i and count - i - 1 of before.
    TTies turned(count, false);
    for (std::size_t i = 1; i < count; ++i)
        turned[i] = Tied[count - i];
    Tied.swap(turned);
}

} // namespace ListRowSort
