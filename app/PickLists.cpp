#include "PickLists.h"

#include "ListView.h"
#include "SortedComboBox.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

TPickLists::TPickLists(std::array<TList, 2> Lists, std::string_view First)
    : m_Tallies{TTally{Lists[0]}, TTally{Lists[1]}}, m_First(First)
{
}

void TPickLists::Refresh(const TListItems& Master, TRowTextJournal& Journal)
{
    // Until this refresh is through, the lists count as read from nothing: one that fails
    // part-way must not follow the same changes twice.
    const std::uint64_t mark = std::exchange(m_Mark, kNoMark);
    const auto changes = Journal.Since(mark);
    if (!changes || !Follow(Master, *changes))
        Refill(Master);
    m_Mark = Journal.Start();
}

void TPickLists::StartTally(TTally& Tally)
{
    Tally.Values = TTextSet(TTextSet::csIgnore);
    Tally.Holders.clear();
    Tally.Rows.clear();
    Tally.MultiSpelt.clear();
    Tally.MultiSpelts = 0;
    // The fixed first entry is met before any row, so no row's spelling replaces it.
    Tally.Values.Place(m_First);
    Tally.Holders.emplace_back();
    Tally.Rows.push_back(0);
    Tally.MultiSpelt.push_back(0);
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
        Tally.MultiSpelt.push_back(0);
        Tally.List.Box->Add(Value);
        return;
    }
    ++Tally.Rows[place.Ordinal];
    if (place.Held != Value && place.Ordinal != 0 && !Tally.MultiSpelt[place.Ordinal]) {
        Tally.MultiSpelt[place.Ordinal] = 1;
        ++Tally.MultiSpelts;
    }
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
    for (TTally& tally : m_Tallies)
        tally.List.Box->EndUpdate();
}

bool TPickLists::Follow(const TListItems& Master, std::span<const TRowTextJournal::TEntry> Entries)
{
    if (Entries.empty())
        return true;
    bool respell = false;
    for (TTally& tally : m_Tallies)
        if (!Follow(tally, Entries, respell))
            return false;
    return !respell || Respell(Master);
}

bool TPickLists::Follow(TTally& Tally, std::span<const TRowTextJournal::TEntry> Entries,
                        bool& Respell)
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
            Respell |= Tally.MultiSpelts > 0;
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
            Tally.MultiSpelt.push_back(0);
            Tally.List.Box->Add(held);
            continue;
        }
        const auto ordinal = static_cast<std::size_t>(at);
        std::uint32_t& rows = Tally.Rows[ordinal];
        const std::string_view shown = Tally.Holders[ordinal].Field(field);
        if (delta.Rows < 0 && static_cast<std::uint64_t>(-delta.Rows) > rows)
            return false;
        if (!Tally.MultiSpelt[ordinal] && spelling != shown) {
            if (delta.Rows < 0)
                return false; // a spelling that no row had went
            Tally.MultiSpelt[ordinal] = 1;
            ++Tally.MultiSpelts;
        }
        // Rows of a value spelt in several ways came or went: which comes first may differ.
        Respell |= Tally.MultiSpelt[ordinal] != 0;
        rows = static_cast<std::uint32_t>(std::int64_t(rows) + delta.Rows);
        if (rows == 0) {
            if (!Tally.List.Box->Remove(shown))
                return false;
            Tally.Values.Erase(shown);
            Tally.Holders[ordinal] = TRowText();
            Tally.MultiSpelts -= std::exchange(Tally.MultiSpelt[ordinal], 0);
        }
    }
    // Values gone leave their ordinals unused; past a point, reading all rows packs them.
    return Tally.Values.Ordinals() <= 2 * Tally.Values.Size() + 1024;
}

bool TPickLists::Respell(const TListItems& Master)
{
    // Each value spelt in several ways is offered as its first row spells it: rows are read
    // from the top only until every such value has been met.
    std::array<std::size_t, 2> left{};
    std::array<std::vector<bool>, 2> met;
    for (std::size_t t = 0; t < 2; ++t) {
        left[t] = m_Tallies[t].MultiSpelts;
        if (left[t] > 0)
            met[t].assign(m_Tallies[t].Rows.size(), false);
    }
    const int count = Master.Count();
    for (int i = 0; i < count && left[0] + left[1] > 0; ++i) {
        Master.ReadAhead(i);
        const TRowText& text = Master.Item(i)->Texts();
        for (std::size_t t = 0; t < 2; ++t) {
            TTally& tally = m_Tallies[t];
            if (left[t] == 0)
                continue;
            const std::string_view value = text.Field(tally.List.Field);
            const std::ptrdiff_t at = tally.Values.OrdinalOf(value);
            if (at <= 0 || !tally.MultiSpelt[std::size_t(at)] || met[t][std::size_t(at)])
                continue;
            met[t][std::size_t(at)] = true;
            --left[t];
            const std::string_view shown = tally.Holders[std::size_t(at)].Field(tally.List.Field);
            if (value == shown)
                continue;
            if (!tally.List.Box->Remove(shown))
                return false;
            tally.List.Box->Add(value);
            tally.Values.Rebind(value);
            tally.Holders[std::size_t(at)] = text;
        }
    }
    return left[0] + left[1] == 0;
}
