// The columns of a base list view, kept as the control's columns.
#include "ListView.h"

#include <algorithm>

using namespace Win;

namespace {
int FormatOf(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify:
        return LVCFMT_RIGHT;
    case taCenter:
        return LVCFMT_CENTER;
    default:
        return LVCFMT_LEFT;
    }
}
} // namespace

// --- TListColumn(s) ---------------------------------------------------------------------------

void TListColumn::SetCaption(std::string_view Caption)
{
    m_Caption = std::string(Caption);
    m_Owner.Control().SetColumnCaption(m_Index, m_Caption);
}

int TListColumn::Width() const
{
    return m_Owner.Control().ColumnCount() > m_Index ? m_Owner.Control().ColumnWidth(m_Index)
                                                     : m_Width;
}

void TListColumn::SetWidth(int Width)
{
    m_Owner.Control().SetColumnWidth(m_Index, Width);
    m_Width = m_Owner.Control().ColumnWidth(m_Index);
}

void TListColumn::SetAlignment(TAlignment Alignment)
{
    m_Alignment = Alignment;
    m_Owner.Control().SetColumnFormat(m_Index, FormatOf(Alignment));
}

TListColumn* TListColumns::Add()
{
    const int index = Count();
    m_Columns.push_back(std::make_unique<TListColumn>(m_Owner, index));
    TListControl::TColumn column;
    column.Width = m_Columns.back()->LastSetWidth();
    column.SubItem = index;
    m_Owner.Control().InsertColumn(index, column);
    return m_Columns.back().get();
}

TListColumn* TListColumns::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return m_Columns[static_cast<std::size_t>(Index)].get();
}

void TListColumns::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    m_Columns.erase(m_Columns.begin() + Index);
    for (int i = Index; i < Count(); ++i)
        m_Columns[static_cast<std::size_t>(i)]->SetIndex(i);
    SendAll();
}

void TListColumns::Clear()
{
    m_Columns.clear();
    SendAll();
}

// Rebuilds the control's columns so that column k shows sub-item k - 1 again.
void TListColumns::SendAll()
{
    TListControl& control = m_Owner.Control();
    while (control.ColumnCount() > 0)
        control.DeleteColumn(control.ColumnCount() - 1);
    for (const auto& c : m_Columns) {
        TListControl::TColumn column;
        column.Caption = c->Caption();
        column.Width = c->LastSetWidth();
        column.Format = FormatOf(c->Alignment());
        column.HeaderFormat = HDF_STRING | column.Format;
        column.SubItem = c->Index();
        control.InsertColumn(c->Index(), column);
    }
}
