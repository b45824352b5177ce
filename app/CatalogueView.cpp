#include "CatalogueView.h"

#include "Catalogue.h"
#include "FindText.h"
#include "ListView.h"
#include "ReadAhead.h"
#include "SplitWork.h"

#include <numeric>
#include <utility>
#include <vector>

bool TViewFilter::Passes(const TRowText& Record) const
{
    const bool isLent = !Record.Field(Catalogue::fdLentTo).empty();
    if (!((isLent && Lent) || (!isLent && NotLent)))
        return false;
    if (!Kind.empty() && Record.Field(Catalogue::fdKind) != Kind)
        return false;
    if (!Shelf.empty() && Record.Field(Catalogue::fdShelf) != Shelf)
        return false;
    return Found(Record);
}

bool TViewFilter::Found(const TRowText& Record) const
{
    if (FindNothing)
        return false;
    if (Find.empty())
        return true;
    for (int field = 0; field < Catalogue::kFieldCount; ++field)
        if (FindText::Contains(Record.Field(field), Find))
            return true;
    return false;
}

std::int64_t TCatalogueView::DiscsOf(const TRowText& Record)
{
    return Catalogue::DiscCount(Record.Field(Catalogue::fdDiscs));
}

std::int64_t TCatalogueView::MarkPassing(const TViewFilter& Filter, TPassMarks& Marks,
                                         std::size_t From, std::size_t To) const
{
    std::int64_t discs = 0;
    std::size_t row = From;
    m_Master.Items().ForEach(
        [&](const TListItem& Row) {
            const TRowText& text = Row.Texts();
            const bool passes = Filter.Passes(text);
            if (passes)
                Marks.Passes.Mark(row);
            if (!Marks.Held) {
                if (passes)
                    discs += DiscsOf(text);
            } else if (passes != (*Marks.Held)[row]) {
                // The texts are at hand: a row that comes takes a hold for its copy to take
                // over, one that goes lets go of the hold its shown row left; the discs of
                // the rows that stay are counted already.
                if (passes) {
                    TRowText(text).Leave();
                    discs += DiscsOf(text);
                } else {
                    const TRowText left = TRowText::TakeOver(text);
                    discs -= DiscsOf(text);
                }
            }
            ++row;
        },
        static_cast<int>(From), static_cast<int>(To));
    return discs;
}

bool TCatalogueView::BuiltStands() const
{
    const TListControl& master = m_Master.Control();
    const std::uint64_t shownChanges = m_Shown.Control().Changes();
    return m_Built && m_Built->Passes.Size() == static_cast<std::size_t>(master.RowCount()) &&
           m_Built->MasterChanges == master.Changes() &&
           m_Built->MasterReorders == master.Reorders() && m_Built->ShownChanges == shownChanges &&
           m_Sum && m_Sum->Changes == shownChanges;
}

void TCatalogueView::Rebuild(const TViewFilter& Filter)
{
    TListItems& shown = m_Shown.Items();
    const TListItems& master = m_Master.Items();
    // Every master row is marked; the room of the marks of two rebuilds ago is used again.
    TRowMarks passes = std::move(m_SparePasses);
    passes.Reset(static_cast<std::size_t>(master.Count()));
    // While neither list changed since the last rebuild (a sort of the shown rows aside), a
    // shown row that goes leaves its hold on its master row's texts for the new copy of the
    // same row to take over: only the texts of rows that come or go are touched.
    const bool built = BuiltStands();
    const std::int64_t shownDiscs = built ? m_Sum->Discs : 0; // of the rows that stay, and more
    std::optional<TBuilt> before = std::exchange(m_Built, std::nullopt);
    shown.BeginUpdate();
    // In a long list, the shown rows of before go on this thread while the master rows that
    // pass are found (and their discs counted) on a second one, which this one helps once its
    // rows have gone: slice 0 is the going, slices 1 to kSlices - 1 the finding. The rows that
    // go only let go of their holds on the master rows' texts, which a text's count of holders
    // keeps apart from its bytes, or, while the rows built last stand, they touch no texts at
    // all and the finding takes and lets go of holds instead.
    constexpr std::size_t kSlices = 6;
    constexpr int kLeastForTwoThreads = 16384;
    const std::size_t least = master.Count() >= kLeastForTwoThreads ? 1 : kSlices;
    TPassMarks marks{passes, built ? &before->Passes : nullptr};
    std::vector<std::int64_t> discs(kSlices, 0);
    const std::size_t rows = passes.Size();
    // Where finding slice K starts: at a whole word of marks, which no other slice writes.
    const auto start = [rows](std::size_t K) {
        return K == kSlices - 1 ? rows
                                : rows * K / (kSlices - 1) / TRowMarks::kWord * TRowMarks::kWord;
    };
    // The rows of the slices this thread found are made while the helper finds the rest.
    std::size_t added = 0;  // the master rows up to which copies stand
    std::size_t adding = 0; // and up to which they are being made
    const auto addUpTo = [&](std::size_t End) {
        adding = End;
        AddPassing(passes, built, added, End);
        added = End;
    };
    try {
        TSplitWork::Run(kSlices, least, [&](int Worker, std::size_t First, std::size_t Last) {
            for (std::size_t slice = First; slice < Last; ++slice) {
                if (slice > 0)
                    discs[slice] = MarkPassing(Filter, marks, start(slice - 1), start(slice));
                else if (built)
                    shown.ClearLeavingTexts();
                else
                    shown.Clear();
            }
            if (Worker == 0 && First == 0 && Last > 1)
                addUpTo(start(Last - 1));
        });
        addUpTo(rows);
    } catch (...) {
        // Holds taken for rows beyond those being made when it failed wait for nothing now.
        if (built)
            LetGoOfHolds(passes, std::max(added, adding), rows);
        shown.EndUpdate();
        throw;
    }
    shown.EndUpdate();
    m_Sum = TDiscSum{m_Shown.Control().Changes(),
                     std::accumulate(discs.begin(), discs.end(), built ? shownDiscs : 0)};
    if (before)
        m_SparePasses = std::move(before->Passes);
    m_Built = TBuilt{std::move(passes), m_Master.Control().Changes(), m_Master.Control().Reorders(),
                     m_Shown.Control().Changes()};
}

void TCatalogueView::AddPassing(const TRowMarks& Passes, bool HoldsTaken, std::size_t From,
                                std::size_t To)
{
    const TListItems& master = m_Master.Items();
    const std::size_t passing = Passes.Count(From, To);
    std::size_t next = From;
    try {
        m_Shown.Items().AddEach(passing, [&](TListItem& Shown) {
            while (!Passes[next])
                ++next;
            TListItem& row = *master.Item(static_cast<int>(next));
            // Master rows sorted stand in memory in no order: each is asked for ahead, and its
            // texts too where their count of holders changes.
            if (next + 2 * ReadAhead::kRows < To)
                ReadAhead::Ask(master.Item(static_cast<int>(next + 2 * ReadAhead::kRows)));
            // A copy in meaning; the texts are shared.
            if (HoldsTaken) {
                Shown.Text = TRowText::TakeOver(row.Texts());
            } else {
                if (next + ReadAhead::kRows < To)
                    master.Item(static_cast<int>(next + ReadAhead::kRows))->Texts().ReadAhead();
                Shown.Text = row.Texts();
            }
            Shown.SetData(&row);
            ++next;
        });
    } catch (...) {
        if (HoldsTaken)
            LetGoOfHolds(Passes, next, To);
        throw;
    }
}

void TCatalogueView::LetGoOfHolds(const TRowMarks& Passes, std::size_t From, std::size_t To) const
{
    const TListItems& master = m_Master.Items();
    for (std::size_t row = From; row < To; ++row)
        if (Passes[row])
            const TRowText left = TRowText::TakeOver(master.Item(static_cast<int>(row))->Texts());
}

void TCatalogueView::Narrow(const TViewFilter& Filter)
{
    TListItems& shown = m_Shown.Items();
    struct TKept
    {
        TRowText Text;
        void* Master;
    };
    std::vector<TKept> kept;
    std::int64_t discs = 0;
    shown.ForEach([&](TListItem& Row) {
        if (!Filter.Found(Row.Texts()))
            return;
        kept.push_back({Row.Texts(), Row.Data()});
        discs += DiscsOf(Row.Texts());
    });
    shown.BeginUpdate();
    shown.Clear();
    for (TKept& row : kept)
        shown.Add(std::move(row.Text))->SetData(row.Master);
    shown.EndUpdate();
    m_Sum = TDiscSum{m_Shown.Control().Changes(), discs};
}

std::int64_t TCatalogueView::ShownDiscs()
{
    const std::uint64_t changes = m_Shown.Control().Changes();
    if (!m_Sum || m_Sum->Changes != changes) {
        std::int64_t discs = 0;
        m_Shown.Items().ForEach([&](const TListItem& Row) { discs += DiscsOf(Row.Texts()); });
        m_Sum = TDiscSum{changes, discs};
    }
    return m_Sum->Discs;
}
