#include "CatalogueView.h"

#include "Catalogue.h"
#include "FindText.h"
#include "ListView.h"
#include "SplitWork.h"

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

std::int64_t TCatalogueView::MarkPassing(const TViewFilter& Filter,
                                         std::vector<std::uint8_t>& Passes) const
{
    std::int64_t discs = 0;
    std::size_t row = 0;
    m_Master.Items().ForEach([&](const TListItem& Row) {
        const TRowText& text = Row.Texts();
        const bool passes = Filter.Passes(text);
        Passes[row++] = passes;
        if (passes)
            discs += DiscsOf(text);
    });
    return discs;
}

void TCatalogueView::Rebuild(const TViewFilter& Filter)
{
    TListItems& shown = m_Shown.Items();
    const TListItems& master = m_Master.Items();
    std::vector<std::uint8_t> passes(static_cast<std::size_t>(master.Count()));
    std::int64_t discs = 0;
    shown.BeginUpdate();
    // In a long list, the master rows that pass are found (and their discs counted) on a
    // second thread while the shown rows of before go on this one: the one only reads the
    // master rows' texts, the other lets go of the shown rows and of their hold on those texts,
    // which a text's count of holders keeps apart from its bytes.
    constexpr int kLeastForTwoThreads = 16384;
    const std::size_t least = master.Count() >= kLeastForTwoThreads ? 1 : 2;
    TSplitWork::Run(2, least, [&](int, std::size_t First, std::size_t Last) {
        for (std::size_t part = First; part < Last; ++part) { // both, on one thread
            if (part == 0)
                shown.Clear();
            else
                discs = MarkPassing(Filter, passes);
        }
    });
    std::size_t row = 0;
    master.ForEach([&](TListItem& Row) {
        if (passes[row++])
            shown.Add(Row.Texts())->Data = &Row; // a copy in meaning; the texts are shared
    });
    shown.EndUpdate();
    m_Sum = TDiscSum{m_Shown.Control().Changes(), discs};
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
        kept.push_back({Row.Texts(), Row.Data});
        discs += DiscsOf(Row.Texts());
    });
    shown.BeginUpdate();
    shown.Clear();
    for (TKept& row : kept)
        shown.Add(std::move(row.Text))->Data = row.Master;
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
