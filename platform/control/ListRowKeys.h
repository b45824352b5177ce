#pragma once

#include "ListMessages.h"
#include "ReadAhead.h"
#include "SplitWork.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

// The stable order that rows' sort keys give, for the list control's keyed sort: keys
// compared a word (eight bytes) at a time, or, where rows share a few keys, rows counted into
// the places of their keys.
namespace KeyOrder {

using TOrder = std::vector<std::uint32_t>;
// After a sort: whether each row is equal to the one before it in the sort's order.
using TTies = std::vector<bool>;

// -1, 0, +1 by the keys alone, in ascending order; 2 when they cannot tell.
int ByKey(const Win::LVSORTKEY& A, const Win::LVSORTKEY& B);
// A word of a key (eight bytes) at a depth as one big-endian number: depth 0 and 1 are the
// prefixes, depth 2 on the following bytes, eight at a time; missing bytes count as 0.
std::uint64_t Word(const Win::LVSORTKEY& Key, std::size_t Depth);

// The stable order of the keys, a word at a time: rows are sorted by one word and their
// place, and only rows whose words tie are read further. Rows whose keys end equal go to
// Before(A, B, Worker), which has the last word. Where it may run on two threads at once, a
// long list is split by its first words into two parts, each put in order on a thread of its
// own: Worker 0 the calling thread, 1 the other; -1 where one thread does all.
template <typename TLess> class TWordOrder
{
public:
    TWordOrder(const std::vector<Win::LVSORTKEY>& Keys, bool Descending, TLess Before)
        : m_Keys(Keys), m_Descending(Descending), m_Before(Before)
    {
    }

    TOrder Run(TTies& Tied, bool TwoThreads)
    {
        const std::size_t count = m_Keys.size();
        if (std::any_of(m_Keys.begin(), m_Keys.end(), [](const auto& Key) { return Key.Failed; }))
            return ByBeforeAlone(Tied); // a row without a key has no place in the words' order
        m_Entries.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            m_Entries[i] = {m_Keys[i].Prefix, static_cast<std::uint32_t>(i)};
        constexpr std::size_t kLeastPerThread = 16384;
        if (!TwoThreads || count < 2 * kLeastPerThread)
            OrderPart(0, count, Tied, -1);
        else
            OrderInTwo(Tied);
        TOrder order(count);
        for (std::size_t i = 0; i < count; ++i)
            order[i] = m_Entries[i].Row;
        return order;
    }

private:
    struct TEntry
    {
        std::uint64_t Word;
        std::uint32_t Row;
    };
    struct TRange
    {
        std::size_t Begin, End, Depth;
    };

    bool InOrder(const TEntry& A, const TEntry& B) const
    {
        if (A.Word != B.Word)
            return m_Descending ? A.Word > B.Word : A.Word < B.Word;
        return A.Row < B.Row;
    }

    TOrder ByBeforeAlone(TTies& Tied) const
    {
        const std::size_t count = m_Keys.size();
        TOrder order(count);
        for (std::size_t i = 0; i < count; ++i)
            order[i] = static_cast<std::uint32_t>(i);
        auto before = [this](std::uint32_t A, std::uint32_t B) { return m_Before(A, B, -1); };
        std::stable_sort(order.begin(), order.end(), before);
        for (std::size_t k = 1; k < count; ++k)
            Tied[k] = !before(order[k - 1], order[k]);
        return order;
    }

    // The parts before and after the middle of a sample of first words, each put in order on a
    // thread of its own. Rows of one first word fall in one part, so the parts are ordered apart.
    void OrderInTwo(TTies& Tied)
    {
        const std::size_t count = m_Entries.size();
        std::vector<std::uint64_t> sample;
        for (std::size_t i = 0; i < count; i += count / 1024)
            sample.push_back(m_Entries[i].Word);
        std::nth_element(sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() / 2),
                         sample.end());
        const std::uint64_t middle = sample[sample.size() / 2];
        const auto before = [&](const TEntry& E) {
            return m_Descending ? E.Word > middle : E.Word < middle;
        };
        const std::size_t split = static_cast<std::size_t>(
            std::partition(m_Entries.begin(), m_Entries.end(), before) - m_Entries.begin());
        const std::size_t bounds[3] = {0, split, count};
        TTies partTied[2] = {TTies(split, false), TTies(count - split, false)};
        TSplitWork::Run(2, 1, [&](int Worker, std::size_t First, std::size_t Last) {
            for (std::size_t part = First; part < Last; ++part) // both, without a second thread
                OrderPart(bounds[part], bounds[part + 1], partTied[part], Worker);
        });
        for (std::size_t k = 0; k < count; ++k)
            Tied[k] = k < split ? partTied[0][k] : partTied[1][k - split];
    }

    // Puts the entries [Begin, End) in order; PartTied[k - Begin] for the entry at k.
    void OrderPart(std::size_t Begin, std::size_t End, TTies& PartTied, int Worker)
    {
        std::vector<TRange> pending{{Begin, End, 0}};
        while (!pending.empty()) {
            const TRange range = pending.back();
            pending.pop_back();
            if (range.Depth > 0)
                ReadWords(range);
            std::sort(m_Entries.begin() + std::ptrdiff_t(range.Begin),
                      m_Entries.begin() + std::ptrdiff_t(range.End),
                      [this](const TEntry& A, const TEntry& B) { return InOrder(A, B); });
            // Ties on this word: read on where a key goes on, else let Before settle them.
            const std::size_t covered = range.Depth < 1 ? 0 : (range.Depth - 1) * 8;
            for (std::size_t i = range.Begin; i < range.End;) {
                std::size_t j = i + 1;
                bool longer = range.Depth == 0 || m_Keys[m_Entries[i].Row].Size > covered;
                while (j < range.End && m_Entries[j].Word == m_Entries[i].Word) {
                    longer = longer || m_Keys[m_Entries[j].Row].Size > covered;
                    ++j;
                }
                if (j - i > 1 && longer)
                    pending.push_back({i, j, range.Depth + 1});
                else if (j - i > 1)
                    SettleTies(i, j, PartTied, Begin, Worker);
                i = j;
            }
        }
    }

    // The words of the range's keys at its depth. Rows stand in no order of their keys'
    // places: each row's key and then its bytes are asked for ahead, so that reading a word
    // seldom waits for memory.
    void ReadWords(const TRange& Range)
    {
        constexpr std::ptrdiff_t ahead = ReadAhead::kRows / 2;
        const std::size_t from = Range.Depth < 2 ? 0 : (Range.Depth - 2) * 8;
        const auto begin = m_Entries.begin() + std::ptrdiff_t(Range.Begin);
        const auto end = m_Entries.begin() + std::ptrdiff_t(Range.End);
        for (auto it = begin; it != end; ++it) {
            if (end - it > 2 * ahead)
                ReadAhead::Ask(&m_Keys[(it + 2 * ahead)->Row]);
            if (Range.Depth >= 2 && end - it > ahead) {
                const Win::LVSORTKEY& next = m_Keys[(it + ahead)->Row];
                if (next.Size > from)
                    ReadAhead::Ask(next.Bytes + from);
            }
            it->Word = Word(m_Keys[it->Row], Range.Depth);
        }
    }

    // Entries [I, J) whose keys ended equal: complete keys of one length are equal rows; else
    // Before puts them in order and tells which are equal.
    void SettleTies(std::size_t I, std::size_t J, TTies& PartTied, std::size_t Begin, int Worker)
    {
        bool settled = true;
        for (std::size_t k = I; k < J && settled; ++k)
            settled = m_Keys[m_Entries[k].Row].Complete &&
                      m_Keys[m_Entries[k].Row].Size == m_Keys[m_Entries[I].Row].Size;
        if (!settled)
            std::stable_sort(
                m_Entries.begin() + std::ptrdiff_t(I), m_Entries.begin() + std::ptrdiff_t(J),
                [&](const TEntry& A, const TEntry& B) { return m_Before(A.Row, B.Row, Worker); });
        for (std::size_t k = I + 1; k < J; ++k)
            PartTied[k - Begin] =
                settled || !m_Before(m_Entries[k - 1].Row, m_Entries[k].Row, Worker);
    }

    const std::vector<Win::LVSORTKEY>& m_Keys;
    const bool m_Descending;
    TLess m_Before;
    std::vector<TEntry> m_Entries;
};

template <typename TLess>
TOrder WordOrder(const std::vector<Win::LVSORTKEY>& Keys, bool Descending, TLess Before,
                 TTies& Tied, bool TwoThreads = false)
{
    return TWordOrder<TLess>(Keys, Descending, Before).Run(Tied, TwoThreads);
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
