#include "CatalogueView.h"

#include "Catalogue.h"
#include "FindText.h"
#include "ListView.h"

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

void TCatalogueView::Rebuild(const TViewFilter& Filter)
{
    TListItems& shown = m_Shown.Items();
    shown.BeginUpdate();
    shown.Clear();
    // The shown discs are counted while their rows are at hand, not in a second pass.
    std::int64_t discs = 0;
    m_Master.Items().ForEach([&](TListItem& Row) {
        const TRowText& text = Row.Texts();
        if (!Filter.Passes(text))
            return;
        shown.Add(text)->Data = &Row; // a copy in meaning; the texts are shared
        discs += DiscsOf(text);
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
