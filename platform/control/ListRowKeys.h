#pragma once

#include "ListMessages.h"
#include "SplitWork.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

// The stable order that rows' sort keys give, for the list control's keyed sort: keys
// compared eight bytes at a time, or, where rows share a few keys, rows counted into the
// places of their keys.
namespace ListRowSort {

using TOrder = std::vector<std::uint32_t>;
// After a sort: whether each row is equal to the one before it in the sort's order.
using TTies = std::vector<bool>;

// -1, 0, +1 by the keys alone, in ascending order; 2 when they cannot tell.
int ByKey(const Win::LVSORTKEY& A, const Win::LVSORTKEY& B);
// Eight bytes of a key at a depth as one big-endian number: depth 0 and 1 are the prefixes,
// depth 2 on the following bytes, eight at a time; missing bytes count as 0.
std::uint64_t Chunk(const Win::LVSORTKEY& Key, std::size_t Depth);

// The stable order of the keys, eight key bytes at a time: rows are sorted by one chunk and
// their place, and only rows whose chunks tie are read further. Rows whose keys end equal go
// to Before, which has the last word. Where Before may run on two threads at once, a long list
// is split by its first chunks into two parts, each put in order on a thread of its own.
template <typename TLess>
TOrder ChunkOrder(const std::vector<Win::LVSORTKEY>& Keys, bool Descending, TLess Before,
                  TTies& Tied, bool TwoThreads = false)
{
    struct TSlot
    {
        std::uint64_t Chunk;
        std::uint32_t Row;
    };
    const std::size_t count = Keys.size();
    if (std::any_of(Keys.begin(), Keys.end(), [](const auto& Key) { return Key.Failed; })) {
        // A row without a key has no place in the chunks' order: Before places every row.
        TOrder order(count);
        for (std::size_t i = 0; i < count; ++i)
            order[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order.begin(), order.end(), Before);
        for (std::size_t k = 1; k < count; ++k)
            Tied[k] = !Before(order[k - 1], order[k]);
        return order;
    }
    std::vector<TSlot> entries(count);
    for (std::size_t i = 0; i < count; ++i)
        entries[i] = {Keys[i].Prefix, static_cast<std::uint32_t>(i)};
    auto byChunk = [Descending](const TSlot& A, const TSlot& B) {
        if (A.Chunk != B.Chunk)
            return Descending ? A.Chunk > B.Chunk : A.Chunk < B.Chunk;
        return A.Row < B.Row;
    };
    struct TRange
    {
        std::size_t Begin, End, Depth;
    };
    // Puts the entries [Begin, End) in order; PartTied[k - Begin] for the entry at k.
    auto orderPart = [&](std::size_t Begin, std::size_t End, TTies& PartTied) {
        std::vector<TRange> pending{{Begin, End, 0}};
        while (!pending.empty()) {
            const TRange range = pending.back();
            pending.pop_back();
            const auto begin = entries.begin() + std::ptrdiff_t(range.Begin);
            const auto end = entries.begin() + std::ptrdiff_t(range.End);
            if (range.Depth > 0) {
                // Rows stand in no order of their keys' places: each row's key and then its
                // bytes are asked for ahead, so that reading a chunk seldom waits for memory.
                constexpr std::ptrdiff_t ahead = 8;
                const std::size_t from = range.Depth < 2 ? 0 : (range.Depth - 2) * 8;
                for (auto it = begin; it != end; ++it) {
                    if (end - it > 2 * ahead)
                        __builtin_prefetch(&Keys[(it + 2 * ahead)->Row]);
                    if (range.Depth >= 2 && end - it > ahead) {
                        const Win::LVSORTKEY& next = Keys[(it + ahead)->Row];
                        if (next.Size > from)
                            __builtin_prefetch(next.Bytes + from);
                    }
                    it->Chunk = Chunk(Keys[it->Row], range.Depth);
                }
            }
            std::sort(begin, end, byChunk);
            // Ties on this chunk: read on where a key goes on, else let Before settle them.
            const std::size_t covered = range.Depth < 1 ? 0 : (range.Depth - 1) * 8;
            for (std::size_t i = range.Begin; i < range.End;) {
                std::size_t j = i + 1;
                bool longer = range.Depth == 0 || Keys[entries[i].Row].Size > covered;
                while (j < range.End && entries[j].Chunk == entries[i].Chunk) {
                    longer = longer || Keys[entries[j].Row].Size > covered;
                    ++j;
                }
                if (j - i > 1) {
                    if (longer) {
                        pending.push_back({i, j, range.Depth + 1});
                    } else {
                        bool settled = true;
                        for (std::size_t k = i; k < j && settled; ++k)
                            settled = Keys[entries[k].Row].Complete &&
                                      Keys[entries[k].Row].Size == Keys[entries[i].Row].Size;
                        if (!settled)
                            std::stable_sort(entries.begin() + std::ptrdiff_t(i),
                                             entries.begin() + std::ptrdiff_t(j),
                                             [&](const TSlot& A, const TSlot& B) {
                                                 return Before(A.Row, B.Row);
                                             });
                        for (std::size_t k = i + 1; k < j; ++k)
                            PartTied[k - Begin] =
                                settled || !Before(entries[k - 1].Row, entries[k].Row);
                    }
                }
                i = j;
            }
        }
    };
    constexpr std::size_t kLeastPerThread = 16384;
    if (!TwoThreads || count < 2 * kLeastPerThread) {
        orderPart(0, count, Tied);
    } else {
        // The middle of a sample of first chunks parts the rows: those before it, and the rest.
        // Rows of one first chunk fall in one part, so the parts are ordered apart.
        std::vector<std::uint64_t> sample;
        for (std::size_t i = 0; i < count; i += count / 1024)
            sample.push_back(entries[i].Chunk);
        std::nth_element(sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() / 2),
                         sample.end());
        const std::uint64_t middle = sample[sample.size() / 2];
        const std::size_t split = static_cast<std::size_t>(
            std::partition(
                entries.begin(), entries.end(),
                [&](const TSlot& S) { return Descending ? S.Chunk > middle : S.Chunk < middle; }) -
            entries.begin());
        const std::size_t bounds[3] = {0, split, count};
        TTies partTied[2] = {TTies(split, false), TTies(count - split, false)};
        TSplitWork::Run(2, 1, [&](int, std::size_t First, std::size_t Last) {
            for (std::size_t part = First; part < Last; ++part) // both, without a second thread
                orderPart(bounds[part], bounds[part + 1], partTied[part]);
        });
        for (std::size_t k = 0; k < count; ++k)
            Tied[k] = k < split ? partTied[0][k] : partTied[1][k - split];
    }
    TOrder order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = entries[i].Row;
    return order;
}

// Rows of a column of a few values (kinds, shelves) share their keys: the order comes from
// ranking the few keys and counting each row into its key's place, with no sort of the rows
// and no key kept per row. KeyOf(Row, Key) gives a row's key, asked for once per row;
// KeysFrom(From, Keys) gives the keys of the rows from From on into their places in Keys, once
// it is clear that they are not few. When a key is incomplete (the comparison must decide
// between its rows) or the keys are not few, gives nothing, and Keys holds every row's key for
// a sort by keys.
template <typename TKeyOf, typename TKeysFrom>
std::optional<TOrder> SharedKeyOrder(std::size_t Count, bool Descending, TKeyOf KeyOf,
                                     TKeysFrom KeysFrom, TTies& Tied,
                                     std::vector<Win::LVSORTKEY>& Keys)
{
    constexpr std::size_t kMostKeys = 4096;
    // Keys are told apart by what they are made of (an incomplete key never equals a complete
    // one); keys shared by rows share their bytes.
    struct TSlot
    {
        const Win::LVSORTKEY* Key = nullptr;
        std::uint32_t Id = 0;
    };
    auto same = [](const Win::LVSORTKEY& A, const Win::LVSORTKEY& B) {
        return A.Prefix == B.Prefix && A.Prefix2 == B.Prefix2 && A.Bytes == B.Bytes &&
               A.Size == B.Size && A.Complete == B.Complete;
    };
    auto hash = [](const Win::LVSORTKEY& Key) {
        std::uint64_t h = Key.Prefix ^ (Key.Prefix2 * 0x9E3779B97F4A7C15ull) ^
                          reinterpret_cast<std::uintptr_t>(Key.Bytes) ^ Key.Size;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 32);
    };
    constexpr std::size_t kSlots = 4 * kMostKeys; // a power of two, never more than 1/4 full
    std::vector<TSlot> table(kSlots);
    std::vector<Win::LVSORTKEY> keys;
    keys.reserve(kMostKeys);
    std::vector<std::uint32_t> ids(Count);
    // Giving up: the keys asked for so far go to Keys, and the rest are asked for.
    auto everyKey = [&](std::size_t Asked) {
        Keys.resize(Count);
        for (std::size_t row = 0; row < Asked; ++row)
            Keys[row] = keys[ids[row]];
        ids = {};
        KeysFrom(Asked, Keys);
        return std::nullopt;
    };
    for (std::size_t row = 0; row < Count; ++row) {
        Win::LVSORTKEY key;
        KeyOf(row, key);
        std::size_t s = hash(key) & (kSlots - 1);
        while (table[s].Key && !same(*table[s].Key, key))
            s = (s + 1) & (kSlots - 1);
        if (!table[s].Key) {
            if (!key.Complete || keys.size() == kMostKeys) {
                keys.push_back(key);
                ids[row] = static_cast<std::uint32_t>(keys.size() - 1);
                return everyKey(row + 1);
            }
            keys.push_back(key); // room reserved: the table's pointers stay valid
            table[s] = {&keys.back(), static_cast<std::uint32_t>(keys.size() - 1)};
        }
        ids[row] = table[s].Id;
    }
    if (keys.size() * 4 > Count)
        return everyKey(Count); // hardly shared: counting would not pay
    // A key's rank; keys equal in their bytes share one.
    TTies tiedKeys(keys.size(), false);
    auto keyBefore = [&](std::uint32_t A, std::uint32_t B) {
        const int k = ByKey(keys[A], keys[B]);
        return Descending ? k > 0 : k < 0;
    };
    const TOrder ranked = ChunkOrder(keys, Descending, keyBefore, tiedKeys);
    std::vector<std::uint32_t> rank(keys.size());
    for (std::size_t r = 0; r < ranked.size(); ++r)
        rank[ranked[r]] = r > 0 && tiedKeys[r] ? rank[ranked[r - 1]] : std::uint32_t(r);
    // Counted into place in their order, rows of one rank keep their order.
    std::vector<std::uint32_t> start(keys.size() + 1, 0);
    for (const std::uint32_t id : ids)
        ++start[rank[id] + 1];
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    TOrder order(Count);
    for (std::size_t row = 0; row < Count; ++row)
        order[start[rank[ids[row]]]++] = static_cast<std::uint32_t>(row);
    for (std::size_t i = 1; i < Count; ++i)
        Tied[i] = rank[ids[order[i]]] == rank[ids[order[i - 1]]];
    return order;
}

} // namespace ListRowSort
