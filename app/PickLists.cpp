#include "PickLists.h"

#include "ListView.h"
#include "SortedComboBox.h"

#include <algorithm>
#include <unordered_map>

TPickLists::TPickLists(std::array<TList, 2> Lists, std::string_view First)
    : m_Tallies{TTally{Lists[0]}, TTally{Lists[1]}}, m_First(First)
{
}

void TPickLists::Refresh(const TListItems& Master, TRowTextJournal& Journal)
{
    const auto changes = Journal.Since(m_Mark);
    if (!changes || !Follow(*changes))
        Refill(Master);
    m_Mark = Journal.Start();
}

void TPickLists::StartTally(TTally& Tally)
{
    Tally.Values = TTextSet(TTextSet::csIgnore);
    Tally.Holders.clear();
    Tally.Rows.clear();
    Tally.SameSpelt.clear();
    Tally.MultiSpelt = 0;
    // The fixed first entry is met before any row, so no row's spelling replaces it.
    Tally.Values.Place(m_First);
    Tally.Holders.emplace_back();
    Tally.Rows.push_back(0);
    Tally.SameSpelt.push_back(0);
    Tally.List.Box->BeginUpdate();
    Tally.List.Box->Clear();
    Tally.List.Box->Add(m_First);
}

void TPickLists::Count(TTally& Tally, std::string_view Value, std::uint32_t Hash,
                       const TRowText& Row)
{
    const TTextSet::TPlace place = Tally.Values.Place(Value, Hash);
    if (place.Inserted) {
        Tally.Holders.push_back(Row); // the set's view of the value points into these texts
        Tally.Rows.push_back(1);
        Tally.SameSpelt.push_back(1);
        Tally.List.Box->Add(Value);
        return;
    }
    ++Tally.Rows[place.Ordinal];
    if (place.Held == Value)
        ++Tally.SameSpelt[place.Ordinal];
}

void TPickLists::Refill(const TListItems& Master)
{
    for (TTally& tally : m_Tallies)
        StartTally(tally);
    const int count = Master.Count();
    // Rows go through in small batches: every value's place in its set is asked for, then the
    // value held there, then the values are counted, so that many values wait on memory
    // together.
    constexpr int kBatch = 16;
    std::string_view values[kBatch][2];
    std::uint32_t hashes[kBatch][2];
    const TRowText* rows[kBatch];
    for (int first = 0; first < count; first += kBatch) {
        const int size = std::min(kBatch, count - first);
        for (int r = 0; r < size; ++r) {
            Master.ReadAhead(first + r);
            rows[r] = &Master.Item(first + r)->Texts();
            for (int t = 0; t < 2; ++t) {
                values[r][t] = rows[r]->Field(m_Tallies[t].List.Field);
                hashes[r][t] = m_Tallies[t].Values.Prefetch(values[r][t]);
            }
        }
        for (int r = 0; r < size; ++r)
            for (int t = 0; t < 2; ++t)
                m_Tallies[t].Values.PrefetchHeld(hashes[r][t]);
        for (int r = 0; r < size; ++r)
            for (int t = 0; t < 2; ++t)
                Count(m_Tallies[t], values[r][t], hashes[r][t], *rows[r]);
    }
    for (TTally& tally : m_Tallies) {
        for (std::size_t i = 1; i < tally.Rows.size(); ++i)
            tally.MultiSpelt += tally.Rows[i] != tally.SameSpelt[i];
        tally.List.Box->EndUpdate();
    }
}

bool TPickLists::Follow(std::span<const TRowTextJournal::TEntry> Entries)
{
    if (Entries.empty())
        return true;
    return std::all_of(m_Tallies.begin(), m_Tallies.end(),
                       [&](TTally& Tally) { return Follow(Tally, Entries); });
}

bool TPickLists::Follow(TTally& Tally, std::span<const TRowTextJournal::TEntry> Entries)
{
    const int field = Tally.List.Field;
    // How many rows more (or fewer) hold each spelling, and texts that hold it, to keep.
    struct TDelta
    {
        std::int64_t Rows = 0;
        const TRowText* Came = nullptr;
    };
    std::unordered_map<std::string_view, TDelta> deltas;
    for (const TRowTextJournal::TEntry& entry : Entries) {
        if (entry.Kind == TRowTextJournal::jkReordered) {
            // Which spelling comes first may have changed.
            if (Tally.MultiSpelt > 0)
                return false;
            continue;
        }
        TDelta& delta = deltas[entry.Text.Field(field)];
        if (entry.Kind == TRowTextJournal::jkCame) {
            ++delta.Rows;
            delta.Came = &entry.Text;
        } else {
            --delta.Rows;
        }
    }
    for (const auto& [spelling, delta] : deltas) {
        if (delta.Rows == 0)
            continue;
        const std::ptrdiff_t at = Tally.Values.OrdinalOf(spelling);
        if (at == 0)
            continue; // the fixed first entry stays, whatever rows spell like it
        if (at < 0) {
            // A new value, in the one spelling its rows have so far.
            if (delta.Rows < 0 || !delta.Came)
                return false;
            const std::string_view held = delta.Came->Field(field);
            const TTextSet::TPlace place = Tally.Values.Place(held);
            if (place.Ordinal != Tally.Holders.size())
                return false;
            Tally.Holders.push_back(*delta.Came);
            Tally.Rows.push_back(static_cast<std::uint32_t>(delta.Rows));
            Tally.SameSpelt.push_back(static_cast<std::uint32_t>(delta.Rows));
            Tally.List.Box->Add(held);
            continue;
        }
        const auto ordinal = static_cast<std::size_t>(at);
        std::uint32_t& rows = Tally.Rows[ordinal];
        const std::string_view shown = Tally.Holders[ordinal].Field(field);
        // Another spelling coming, or a value spelt in several ways changing, may change
        // which spelling is met first: only reading the rows tells.
        if (rows != Tally.SameSpelt[ordinal] || spelling != shown)
            return false;
        if (delta.Rows < 0 && static_cast<std::uint64_t>(-delta.Rows) > rows)
            return false;
        rows = static_cast<std::uint32_t>(std::int64_t(rows) + delta.Rows);
        Tally.SameSpelt[ordinal] = rows;
        if (rows == 0) {
            if (!Tally.List.Box->Remove(shown))
                return false;
            Tally.Values.Erase(shown);
            Tally.Holders[ordinal] = TRowText();
        }
    }
    // Values gone leave their ordinals unused; past a point, reading all rows packs them.
    return Tally.Values.Ordinals() <= 2 * Tally.Values.Size() + 1024;
}
