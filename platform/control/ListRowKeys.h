#pragma once

#include "ListMessages.h"
#include "ReadAhead.h"
#include "SplitWork.h"
#include "WordOrder.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

// The stable order that rows' sort keys give, for the list control's keyed sort: keys
// compared a word (eight bytes) at a time, or, where rows share a few keys, rows counted into
// the places of their keys.
namespace KeyOrder {

// -1, 0, +1 by the keys alone, in ascending order; 2 when they cannot tell.
int ByKey(const Win::LVSORTKEY& A, const Win::LVSORTKEY& B);
// A word of a key (eight bytes) at a depth as one big-endian number: depth 0 and 1 are the
// prefixes, depth 2 on the following bytes, eight at a time; missing bytes count as 0.
std::uint64_t Word(const Win::LVSORTKEY& Key, std::size_t Depth);

// Keys asked for whole, read sixteen bytes at a time by TWordOrder: the prefixes first, then
// the bytes that follow.
class TStoredKeys
{
public:
    explicit TStoredKeys(const std::vector<Win::LVSORTKEY>& Keys) : m_Keys(Keys) {}

    void First(std::vector<TWordEntry>& Entries) const
    {
        for (std::size_t i = 0; i < m_Keys.size(); ++i)
            Entries[i] = {m_Keys[i].Prefix, m_Keys[i].Prefix2, static_cast<std::uint32_t>(i), 0};
    }
    void Read(TWordEntry& Entry, std::size_t Depth) const
    {
        const Win::LVSORTKEY& key = m_Keys[Entry.Row];
        Entry.Word = Word(key, 2 * Depth);
        Entry.Word2 = Word(key, 2 * Depth + 1);
    }
    // The keys stand in an array of their own, reached at once wherever a row stands.
    static constexpr bool kRowOrderPays = false;
    // The key, then the bytes it points to.
    void Ask(std::uint32_t Row, std::size_t Depth, int Step) const
    {
        const Win::LVSORTKEY& key = m_Keys[Row];
        if (Step == 1)
            ReadAhead::Ask(&key);
        else if (key.Size > (Depth - 1) * 16)
            ReadAhead::Ask(key.Bytes + (Depth - 1) * 16);
    }
    bool GoesOn(const TWordEntry& Entry, std::size_t Depth) const
    {
        return m_Keys[Entry.Row].Size > Depth * 16;
    }
    bool EndedEqual(std::uint32_t A, std::uint32_t B) const
    {
        return m_Keys[A].Complete && m_Keys[B].Complete && m_Keys[A].Size == m_Keys[B].Size;
    }

private:
    const std::vector<Win::LVSORTKEY>& m_Keys;
};

// The stable order of Before alone, Tied set from it.
template <typename TLess> TOrder BeforeOrder(std::size_t Count, TLess Before, TTies& Tied)
{
    TOrder order(Count);
    for (std::size_t i = 0; i < Count; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    auto before = [&](std::uint32_t A, std::uint32_t B) { return Before(A, B, -1); };
    std::stable_sort(order.begin(), order.end(), before);
    for (std::size_t k = 1; k < Count; ++k)
        Tied[k] = !before(order[k - 1], order[k]);
    return order;
}

// The stable order of the keys, a word at a time (TWordOrder); rows whose keys end equal go
// to Before(A, B, Worker).
template <typename TLess>
TOrder WordOrder(const std::vector<Win::LVSORTKEY>& Keys, bool Descending, TLess Before,
                 TTies& Tied, bool TwoThreads = false)
{
    if (std::any_of(Keys.begin(), Keys.end(), [](const auto& Key) { return Key.Failed; }))
        return BeforeOrder(Keys.size(), Before, Tied); // a row without a key has no place
    TStoredKeys source(Keys);
    return TWordOrder<TStoredKeys, TLess>(source, Keys.size(), Descending, Before)
        .Run(Tied, TwoThreads);
}

// Rows counted into the places of their keys' ranks: Ids[row] names the row's key in Keys, all
// of them complete. Rows of one rank keep their order.
TOrder CountedOrder(const std::vector<Win::LVSORTKEY>& Keys, const std::vector<std::uint32_t>& Ids,
                    bool Descending, TTies& Tied);

// The few keys that one worker's rows share, each row named by its key's id: what the shared
// keys' order is built from. Keys are told apart by what they are made of (an incomplete key
// never equals a complete one); keys shared by rows share their bytes.
class TSharedKeys
{
public:
    static constexpr std::size_t kMostKeys = 4096;

    TSharedKeys() : m_Table(kSlots) { m_Keys.reserve(kMostKeys); }

    // The id of Key, taken in where it is new; nothing where the keys are not few after all
    // (an incomplete key, or more than kMostKeys), after which no more are asked for.
    std::optional<std::uint32_t> IdOf(const Win::LVSORTKEY& Key)
    {
        std::size_t s = Hash(Key) & (kSlots - 1);
        while (m_Table[s].Key && !Same(*m_Table[s].Key, Key))
            s = (s + 1) & (kSlots - 1);
        if (m_Table[s].Key)
            return m_Table[s].Id;
        m_Keys.push_back(Key); // kept even so: a row asked for keeps its key
        if (!Key.Complete || m_Keys.size() > kMostKeys)
            return std::nullopt;
        m_Table[s] = {&m_Keys.back(), static_cast<std::uint32_t>(m_Keys.size() - 1)};
        return m_Table[s].Id; // room reserved: the table's pointers stay valid
    }
    const std::vector<Win::LVSORTKEY>& Keys() const { return m_Keys; }
    std::vector<Win::LVSORTKEY>& Keys() { return m_Keys; }

private:
    struct TSlot
    {
        const Win::LVSORTKEY* Key = nullptr;
        std::uint32_t Id = 0;
    };
    static constexpr std::size_t kSlots = 4 * kMostKeys; // a power of two, at most 1/4 full

    static bool Same(const Win::LVSORTKEY& A, const Win::LVSORTKEY& B)
    {
        return A.Prefix == B.Prefix && A.Prefix2 == B.Prefix2 && A.Bytes == B.Bytes &&
               A.Size == B.Size && A.Complete == B.Complete;
    }
    static std::uint64_t Hash(const Win::LVSORTKEY& Key)
    {
        std::uint64_t h = Key.Prefix ^ (Key.Prefix2 * 0x9E3779B97F4A7C15ull) ^
                          reinterpret_cast<std::uintptr_t>(Key.Bytes) ^ Key.Size;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 32);
    }

    std::vector<TSlot> m_Table;
    std::vector<Win::LVSORTKEY> m_Keys;
};

// Rows of a column of a few values (kinds, shelves) share their keys: the order comes from
// ranking the few keys and counting each row into its key's place, with no sort of the rows
// and no key kept per row. KeyOf(Row, Key, Worker) gives a row's key, asked for once per row;
// where TwoThreads, a long list's rows are asked for by two workers at once (0 on the calling
// thread, 1 on the other), half each, else by worker -1 alone. KeysFrom(From, To, Keys) gives
// the keys of the rows [From, To) into their places in Keys, once it is clear that they are not
// few. When a key is incomplete (the comparison must decide between its rows) or the keys are
// not few, gives nothing, and Keys holds every row's key for a sort by keys.
template <typename TKeyOf, typename TKeysFrom>
std::optional<TOrder> SharedKeyOrder(std::size_t Count, bool Descending, TKeyOf KeyOf,
                                     TKeysFrom KeysFrom, TTies& Tied,
                                     std::vector<Win::LVSORTKEY>& Keys, bool TwoThreads = false)
{
    constexpr std::size_t kLeastPerWorker = 8192;
    std::vector<std::uint32_t> ids(Count);
    TSharedKeys shared[2];
    // Where each part's rows begin and how far its worker got; a worker stops once either
    // meets keys that are not few.
    std::size_t begin[2] = {0, Count};
    std::size_t asked[2] = {0, Count};
    std::atomic<bool> notFew = false;
    auto work = [&](int Worker, std::size_t Begin, std::size_t End) {
        const int w = Begin == 0 ? 0 : 1; // the worker's part (one worker may do both)
        TSharedKeys& mine = shared[w];
        // Nothing the two workers share is written row by row (its memory line would pass
        // between the processors at every row): where a worker got is told once it ends.
        std::size_t row = Begin;
        for (; row < End && !notFew.load(std::memory_order_relaxed); ++row) {
            Win::LVSORTKEY key;
            KeyOf(row, key, Worker);
            const std::optional<std::uint32_t> id = mine.IdOf(key);
            ids[row] = id ? *id : static_cast<std::uint32_t>(mine.Keys().size() - 1);
            if (!id) {
                notFew.store(true, std::memory_order_relaxed);
                ++row;
                break;
            }
        }
        begin[w] = Begin;
        asked[w] = row;
    };
    if (TwoThreads)
        TSplitWork::Run(Count, kLeastPerWorker, work);
    else
        work(-1, 0, Count);
    // Worker 1's ids follow worker 0's keys.
    const auto firstKeys = static_cast<std::uint32_t>(shared[0].Keys().size());
    for (std::size_t row = begin[1]; row < asked[1]; ++row)
        ids[row] += firstKeys;
    std::vector<Win::LVSORTKEY>& keys = shared[0].Keys();
    keys.insert(keys.end(), shared[1].Keys().begin(), shared[1].Keys().end());
    if (!notFew && keys.size() * 4 <= Count)
        return CountedOrder(keys, ids, Descending, Tied);
    // Not few, or hardly shared so that counting would not pay: the keys asked for so far go
    // to Keys, and the rest are asked for.
    Keys.resize(Count);
    for (int w = 0; w < 2; ++w)
        for (std::size_t row = begin[w]; row < asked[w]; ++row)
            Keys[row] = keys[ids[row]];
    const std::size_t end[2] = {begin[1], Count};
    for (int w = 0; w < 2; ++w)
        if (asked[w] < end[w])
            KeysFrom(asked[w], end[w], Keys);
    return std::nullopt;
}

} // namespace KeyOrder
