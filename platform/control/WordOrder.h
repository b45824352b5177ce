#pragma once

#include "ReadAhead.h"
#include "SplitWork.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// The stable order of rows by their sort keys read sixteen bytes (two words) at a time, for the
// list control's keyed sort.
namespace KeyOrder {

using TOrder = std::vector<std::uint32_t>;
// After a sort: whether each row is equal to the one before it in the sort's order.
using TTies = std::vector<bool>;

// A row's key bytes at the depth its rows are read at, as two big-endian numbers, and where its
// key goes on (for a source that reads keys from the rows as far as they are needed).
struct TWordEntry
{
    std::uint64_t Word = 0;
    std::uint64_t Word2 = 0;
    std::uint32_t Row = 0;
    std::uint32_t State = 0;

    bool SameWords(const TWordEntry& Other) const
    {
        return Word == Other.Word && Word2 == Other.Word2;
    }
};

// Rows are sorted by their words and their place, and only rows whose words tie are read further.
// Rows whose keys end equal go to Before(A, B, Worker), which has the last word. Where it may
// run on two threads at once, a long list is split by its first words into two parts, each put
// in order on a thread of its own: Worker 0 the calling thread, 1 the other; -1 where one
// thread does all.
//
// The words come from a TSource, which has:
// - First(Entries): every row's first words, Entries[i] for row i, Row and State set too;
// - Read(Entry, Depth): the entry's words at Depth (1 on);
// - Ask(Row, Depth, Step): asks for what Read at Depth will read of the row, in two steps, the
//   second of which needs what the first asked for: Step 1, then Step 0 just before Read;
// - GoesOn(Entry, Depth): whether the key has bytes after its words at Depth;
// - EndedEqual(A, B): whether rows whose keys ended with the same words are equal without
//   asking Before (complete keys of one length);
// - kRowOrderPays: whether reading many rows' words pays in the order the rows stand in.
template <typename TSource, typename TLess> class TWordOrder
{
public:
    TWordOrder(TSource& Source, std::size_t Count, bool Descending, TLess Before)
        : m_Source(Source), m_Count(Count), m_Descending(Descending), m_Before(Before)
    {
    }

    TOrder Run(TTies& Tied, bool TwoThreads)
    {
        m_Entries.resize(m_Count);
        m_Source.First(m_Entries);
        constexpr std::size_t kLeastPerThread = 16384;
        if (!TwoThreads || m_Count < 2 * kLeastPerThread)
            OrderPart(0, m_Count, Tied, -1);
        else
            OrderInTwo(Tied);
        std::vector<std::atomic<std::uint32_t>>().swap(m_Places); // not held beside the order
        TOrder order(m_Count);
        for (std::size_t i = 0; i < m_Count; ++i)
            order[i] = m_Entries[i].Row;
        return order;
    }

private:
    struct TRange
    {
        std::size_t Begin, End, Depth;
    };

    bool InOrder(const TWordEntry& A, const TWordEntry& B) const
    {
        if (A.Word != B.Word)
            return m_Descending ? A.Word > B.Word : A.Word < B.Word;
        if (A.Word2 != B.Word2)
            return m_Descending ? A.Word2 > B.Word2 : A.Word2 < B.Word2;
        return A.Row < B.Row;
    }

    // The parts before and after the middle of a sample of first words, each put in order on a
    // thread of its own. Rows of one first word fall in one part, so the parts are ordered apart.
    void OrderInTwo(TTies& Tied)
    {
        std::vector<std::uint64_t> sample;
        for (std::size_t i = 0; i < m_Count; i += m_Count / 1024)
            sample.push_back(m_Entries[i].Word);
        std::nth_element(sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() / 2),
                         sample.end());
        const std::uint64_t middle = sample[sample.size() / 2];
        const auto before = [&](const TWordEntry& E) {
            return m_Descending ? E.Word > middle : E.Word < middle;
        };
        const std::size_t split = static_cast<std::size_t>(
            std::partition(m_Entries.begin(), m_Entries.end(), before) - m_Entries.begin());
        const std::size_t bounds[3] = {0, split, m_Count};
        TTies partTied[2] = {TTies(split, false), TTies(m_Count - split, false)};
        TSplitWork::Run(2, 1, [&](int Worker, std::size_t First, std::size_t Last) {
            for (std::size_t part = First; part < Last; ++part) // both, without a second thread
                OrderPart(bounds[part], bounds[part + 1], partTied[part], Worker);
        });
        for (std::size_t k = 0; k < m_Count; ++k)
            Tied[k] = k < split ? partTied[0][k] : partTied[1][k - split];
    }

    // Puts the entries [Begin, End) in order; PartTied[k - Begin] for the entry at k.
    void OrderPart(std::size_t Begin, std::size_t End, TTies& PartTied, int Worker)
    {
        std::vector<TRange> pending{{Begin, End, 0}};
        while (!pending.empty()) {
            const TRange range = pending.back();
            pending.pop_back();
            std::sort(m_Entries.begin() + std::ptrdiff_t(range.Begin),
                      m_Entries.begin() + std::ptrdiff_t(range.End),
                      [this](const TWordEntry& A, const TWordEntry& B) { return InOrder(A, B); });
            // Ties on these words: read on where a key goes on, else let Before settle them.
            const std::size_t deeper = pending.size();
            for (std::size_t i = range.Begin; i < range.End;) {
                std::size_t j = i + 1;
                bool longer = m_Source.GoesOn(m_Entries[i], range.Depth);
                while (j < range.End && m_Entries[j].SameWords(m_Entries[i])) {
                    longer = longer || m_Source.GoesOn(m_Entries[j], range.Depth);
                    ++j;
                }
                if (j - i > 1 && longer)
                    pending.push_back({i, j, range.Depth + 1});
                else if (j - i > 1)
                    SettleTies(i, j, PartTied, Begin, Worker);
                i = j;
            }
            ReadWords(pending, deeper);
        }
    }

    // The words of the rows of Ranges[From] on, at their depths: the ties of one range, in the
    // order they stand. Rows stand in no order of their places: what each row's word is read
    // from is asked for ahead, in steps, across the ranges, many of which are a few rows long,
    // so that reading a word seldom waits for memory.
    void ReadWords(const std::vector<TRange>& Ranges, std::size_t From)
    {
        if (From == Ranges.size())
            return;
        if constexpr (TSource::kRowOrderPays) {
            std::size_t rows = 0;
            for (std::size_t r = From; r < Ranges.size(); ++r)
                rows += Ranges[r].End - Ranges[r].Begin;
            if (rows >= kRowOrderLeast && rows * 4 >= m_Count) {
                ReadInRowOrder(Ranges, From);
                return;
            }
        }
        constexpr std::size_t ahead = ReadAhead::kRows / 2;
        const std::size_t end = Ranges.back().End;
        for (std::size_t r = From; r < Ranges.size(); ++r) {
            const TRange& range = Ranges[r];
            for (std::size_t i = range.Begin; i < range.End; ++i) {
                if (i + 2 * ahead < end)
                    m_Source.Ask(m_Entries[i + 2 * ahead].Row, range.Depth, 1);
                if (i + ahead < end)
                    m_Source.Ask(m_Entries[i + ahead].Row, range.Depth, 0);
                m_Source.Read(m_Entries[i], range.Depth);
            }
        }
    }

    // The same for the ties of a range that holds a good part of the rows (names sharing their
    // first bytes, as most do): the rows are read in the order they stand in the list, where
    // each is near the one before it, and their words go to their entries' places, which wait
    // for memory only as they are written.
    void ReadInRowOrder(const std::vector<TRange>& Ranges, std::size_t From)
    {
        {
            // Both threads' parts share the places, each writing its own rows.
            const std::lock_guard lock(m_PlacesMade);
            if (m_Places.size() != m_Count)
                m_Places = std::vector<std::atomic<std::uint32_t>>(m_Count);
        }
        const std::size_t first = Ranges[From].Begin;
        const std::size_t last = Ranges.back().End;
        for (std::size_t r = From; r < Ranges.size(); ++r)
            for (std::size_t i = Ranges[r].Begin; i < Ranges[r].End; ++i)
                m_Places[m_Entries[i].Row].store(static_cast<std::uint32_t>(i) + 1,
                                                 std::memory_order_relaxed);
        const std::size_t depth = Ranges[From].Depth;
        for (std::uint32_t row = 0; row < m_Count; ++row) {
            const std::uint32_t place = m_Places[row].load(std::memory_order_relaxed);
            if (place == 0 || place - 1 < first || place - 1 >= last)
                continue; // none, or another thread's
            if (row + 2 * kAhead < m_Count)
                m_Source.Ask(row + 2 * kAhead, depth, 1);
            if (row + kAhead < m_Count)
                m_Source.Ask(row + kAhead, depth, 0);
            m_Source.Read(m_Entries[place - 1], depth);
            m_Places[row].store(0, std::memory_order_relaxed);
        }
    }

    // Entries [I, J) whose keys ended equal: where the source says they are equal, they are;
    // else Before puts them in order and tells which are equal.
    void SettleTies(std::size_t I, std::size_t J, TTies& PartTied, std::size_t Begin, int Worker)
    {
        bool settled = true;
        for (std::size_t k = I; k < J && settled; ++k)
            settled = m_Source.EndedEqual(m_Entries[I].Row, m_Entries[k].Row);
        if (!settled)
            std::stable_sort(m_Entries.begin() + std::ptrdiff_t(I),
                             m_Entries.begin() + std::ptrdiff_t(J),
                             [&](const TWordEntry& A, const TWordEntry& B) {
                                 return m_Before(A.Row, B.Row, Worker);
                             });
        for (std::size_t k = I + 1; k < J; ++k)
            PartTied[k - Begin] =
                settled || !m_Before(m_Entries[k - 1].Row, m_Entries[k].Row, Worker);
    }

    TSource& m_Source;
    const std::size_t m_Count;
    const bool m_Descending;
    TLess m_Before;
    std::vector<TWordEntry> m_Entries;
    // Where each row's entry stands plus one, while a range's ties are read in row order; 0 for
    // none. Made for the first such read.
    static constexpr std::size_t kRowOrderLeast = 65536;
    static constexpr std::uint32_t kAhead = ReadAhead::kRows / 2;
    std::vector<std::atomic<std::uint32_t>> m_Places;
    std::mutex m_PlacesMade;
};

} // namespace KeyOrder
