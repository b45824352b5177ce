#pragma once

#include "RowMarks.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TCustomListView;
class TRowText;

// Which master rows the shown list holds: the lent test and the kind and shelf filters.
struct TViewFilter
{
    bool Lent = true;
    bool NotLent = true;
    std::string Kind;         // empty: any kind
    std::string Shelf;        // empty: any shelf
    std::string Find;         // folded (FindText); empty: any record
    bool FindNothing = false; // a text to find that no record can hold
    bool Passes(const TRowText& Record) const;
    // Whether the record holds the text to find in any of its fields.
    bool Found(const TRowText& Record) const;
};

// The shown list as a view of the master list: rebuilt from the master rows that pass the
// filter, and the sum of the shown rows' disc counts.
class TCatalogueView
{
public:
    TCatalogueView(const TCustomListView& Master, TCustomListView& Shown)
        : m_Master(Master), m_Shown(Shown)
    {
    }

    // Empties the shown list and appends a copy of each master row that passes, in master
    // order; a copy shares its master row's texts and knows its master row (Data).
    void Rebuild(const TViewFilter& Filter);
    // Keeps the shown rows that hold the text to find, in the order they stand: a text typed
    // further only narrows what is shown, and its sort holds.
    void Narrow(const TViewFilter& Filter);
    // The disc counts of the shown rows, summed again only after the rows changed: an idle
    // window costs nothing.
    std::int64_t ShownDiscs();

private:
    struct TDiscSum
    {
        std::uint64_t Changes = 0; // the shown list's change count the sum is of
        std::int64_t Discs = 0;
    };
    // What the last rebuild made the shown list of: the master rows that passed, and the
    // lists' counts of changes (and the master's of reorderings) just after.
    struct TBuilt
    {
        TRowMarks Passes;
        std::uint64_t MasterChanges = 0;
        std::uint64_t MasterReorders = 0;
        std::uint64_t ShownChanges = 0;
    };
    static std::int64_t DiscsOf(const TRowText& Record);
    // Which master rows pass, and, where Held says which rows the shown rows of before held,
    // that a row that comes takes a hold on its texts for its copy, and one that goes lets go
    // of the hold its shown row left behind.
    struct TPassMarks
    {
        TRowMarks& Passes;
        const TRowMarks* Held;
    };
    // Marks each master row From to To - 1 that passes; the discs of those that do, or, where
    // Held is given, the discs of those that come less those of those that go.
    std::int64_t MarkPassing(const TViewFilter& Filter, TPassMarks& Marks, std::size_t From,
                             std::size_t To) const;
    // Whether the shown rows are still what the last rebuild made them, each holding the texts
    // of the master row at the place it was made from.
    bool BuiltStands() const;
    // Appends a copy of each master row From to To - 1 that passes: a copy that shares its
    // texts, or, where HoldsTaken, one that takes over a hold on them that waits for it. Rows
    // not made let go of their holds.
    void AddPassing(const TRowMarks& Passes, bool HoldsTaken, std::size_t From, std::size_t To);
    // Lets go of the holds that master rows From to To - 1 that pass took for copies not made.
    void LetGoOfHolds(const TRowMarks& Passes, std::size_t From, std::size_t To) const;

    const TCustomListView& m_Master;
    TCustomListView& m_Shown;
    std::optional<TDiscSum> m_Sum;
    std::optional<TBuilt> m_Built;
    TRowMarks m_SparePasses;
};
