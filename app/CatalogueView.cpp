#include "CatalogueView.h"

#include "Catalogue.h"
#include "ListView.h"

bool TViewFilter::Passes(const TRowText& Record) const
{
    const bool isLent = !Record.Field(Catalogue::fdLentTo).empty();
    if (!((isLent && Lent) || (!isLent && NotLent)))
        return false;
    if (!Kind.empty() && Record.Field(Catalogue::fdKind) != Kind)
        return false;
    return Shelf.empty() || Record.Field(Catalogue::fdShelf) == Shelf;
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
