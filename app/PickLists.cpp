#include "PickLists.h"

#include "ListView.h"
#include "SortedComboBox.h"
#include "SplitWork.h"

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
    Tally.SpeltSeveralWays.clear();
    Tally.ValuesSpeltSeveralWays = 0;
    // The fixed first entry is met before any row, so no row's spelling replaces it.
    Tally.Values.Place(m_First);
    Tally.Holders.emplace_back();
    Tally.Rows.push_back(0);
    Tally.SpeltSeveralWays.push_back(0);
    Tally.List.Box->BeginUpdate();
    Tally.List.Box->Clear();
    Tally.List.Box->Add(m_First);
}

void TPickLists::Count(TTally& Tally, std::string_view Value, std::uint32_t Hash,
                       const TRowText& Row, std::vector<const TRowText*>& Came)
{
    const TTextSet::TPlace place = Tally.Values.Place(Value, Hash);
    if (place.Inserted) {
        Came.push_back(&Row); // the set's view of the value points into these texts
        Tally.Rows.push_back(1);
        Tally.SpeltSeveralWays.push_back(0);
        return;
    }
    ++Tally.Rows[place.Ordinal];
    if (place.Held != Value && place.Ordinal != 0 && !Tally.SpeltSeveralWays[place.Ordinal]) {
        Tally.SpeltSeveralWays[place.Ordinal] = 1;
        ++Tally.ValuesSpeltSeveralWays;
    }
}

void TPickLists::CountRows(TTally& Tally, const TListItems& Master,
                           std::vector<const TRowText*>& Came)
{
    // Rows go through in small batches: every value's place in the set is asked for, then the
    // value held there, then the values are counted, so that many values wait on memory
    // together.
    constexpr int kBatch = 16;
    std::string_view values[kBatch];
    std::uint32_t hashes[kBatch];
    const TRowText* rows[kBatch];
    int size = 0;
    const auto countBatch = [&] {
        for (int r = 0; r < size; ++r)
            Tally.Values.ReadAheadHeld(hashes[r]);
        for (int r = 0; r < size; ++r)
            Count(Tally, values[r], hashes[r], *rows[r], Came);
        size = 0;
    };
    Master.ForEach([&](const TListItem& Row) {
        rows[size] = &Row.Texts();
        values[size] = rows[size]->Field(Tally.List.Field);
        hashes[size] = Tally.Values.ReadAhead(values[size]);
        if (++size == kBatch)
            countBatch();
    });
    countBatch();
}

void TPickLists::Refill(const TListItems& Master)
{
    for (TTally& tally : m_Tallies)
        StartTally(tally);
    // In a long list each pick list reads the rows on a thread of its own. The texts that hold
    // a value first are kept, and offered, by this thread once both are through: a text's count
    // of holders is not to be changed by two threads at once, nor a box by a helper thread.
    constexpr int kLeastForTwoThreads = 16384;
    const std::size_t least = Master.Count() >= kLeastForTwoThreads ? 1 : 2;
    std::array<std::vector<const TRowText*>, 2> came;
    TSplitWork::Run(2, least, [&](int, std::size_t First, std::size_t Last) {
        for (std::size_t t = First; t < Last; ++t)
            CountRows(m_Tallies[t], Master, came[t]);
    });
    for (std::size_t t = 0; t < 2; ++t) {
        TTally& tally = m_Tallies[t];
        for (const TRowText* text : came[t]) {
            tally.Holders.push_back(*text);
            tally.List.Box->Add(text->Field(tally.List.Field));
        }
        tally.List.Box->EndUpdate();
    }
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
    std::unordered_map<std::string_view, TDelta> deltas;
    for (const TRowTextJournal::TEntry& entry : Entries) {
        if (entry.Kind == TRowTextJournal::jkReordered) {
            // Which spelling comes first may have changed.
            Respell |= Tally.ValuesSpeltSeveralWays > 0;
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
        const bool followed = at < 0
                                  ? AddValue(Tally, delta)
                                  : Recount(Tally, std::size_t(at), spelling, delta.Rows, Respell);
        if (!followed)
            return false;
    }
    // Values gone leave their ordinals unused; past a point, reading all rows packs them.
    return Tally.Values.Ordinals() <= 2 * Tally.Values.Size() + 1024;
}

bool TPickLists::AddValue(TTally& Tally, const TDelta& Delta)
{
    // A new value, in the one spelling its rows have so far.
    if (Delta.Rows < 0 || !Delta.Came)
        return false;
    const std::string_view held = Delta.Came->Field(Tally.List.Field);
    const TTextSet::TPlace place = Tally.Values.Place(held);
    if (place.Ordinal != Tally.Holders.size())
        return false;
    Tally.Holders.push_back(*Delta.Came);
    Tally.Rows.push_back(static_cast<std::uint32_t>(Delta.Rows));
    Tally.SpeltSeveralWays.push_back(0);
    Tally.List.Box->Add(held);
    return true;
}

bool TPickLists::Recount(TTally& Tally, std::size_t Ordinal, std::string_view Spelling,
                         std::int64_t Rows, bool& Respell)
{
    std::uint32_t& rows = Tally.Rows[Ordinal];
    const std::string_view shown = Tally.Holders[Ordinal].Field(Tally.List.Field);
    if (Rows < 0 && static_cast<std::uint64_t>(-Rows) > rows)
        return false;
    if (!Tally.SpeltSeveralWays[Ordinal] && Spelling != shown) {
        if (Rows < 0)
            return false; // a spelling that no row had went
        Tally.SpeltSeveralWays[Ordinal] = 1;
        ++Tally.ValuesSpeltSeveralWays;
    }
    // Rows of a value spelt in several ways came or went: which comes first may differ.
    Respell |= Tally.SpeltSeveralWays[Ordinal] != 0;
    rows = static_cast<std::uint32_t>(std::int64_t(rows) + Rows);
    if (rows == 0) {
        if (!Tally.List.Box->Remove(shown))
            return false;
        Tally.Values.Erase(shown);
        Tally.Holders[Ordinal] = TRowText();
        Tally.ValuesSpeltSeveralWays -= std::exchange(Tally.SpeltSeveralWays[Ordinal], 0);
    }
    return true;
}

bool TPickLists::Respell(const TListItems& Master)
{
    // Each value spelt in several ways is offered as its first row spells it: rows are read
    // from the top only until every such value has been met.
    std::array<std::size_t, 2> left{};
    std::array<std::vector<bool>, 2> met;
    for (std::size_t t = 0; t < 2; ++t) {
        left[t] = m_Tallies[t].ValuesSpeltSeveralWays;
        if (left[t] > 0)
            met[t].assign(m_Tallies[t].Rows.size(), false);
    }
    bool refused = false;
    Master.ForEach([&](const TListItem& Row) {
        for (std::size_t t = 0; t < 2 && !refused; ++t)
            if (left[t] > 0)
                refused = !Respell(m_Tallies[t], Row.Texts(), met[t], left[t]);
        return !refused && left[0] + left[1] > 0;
    });
    return !refused && left[0] + left[1] == 0;
}

bool TPickLists::Respell(TTally& Tally, const TRowText& Text, std::vector<bool>& Met,
                         std::size_t& Left)
{
    const std::string_view value = Text.Field(Tally.List.Field);
    const std::ptrdiff_t at = Tally.Values.OrdinalOf(value);
    if (at <= 0 || !Tally.SpeltSeveralWays[std::size_t(at)] || Met[std::size_t(at)])
        return true;
    Met[std::size_t(at)] = true;
    --Left;
    const std::string_view shown = Tally.Holders[std::size_t(at)].Field(Tally.List.Field);
    if (value == shown)
        return true;
    if (!Tally.List.Box->Remove(shown))
        return false;
    Tally.List.Box->Add(value);
    Tally.Values.Rebind(value);
    Tally.Holders[std::size_t(at)] = Text;
    return true;
}
