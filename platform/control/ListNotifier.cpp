#include "ListNotifier.h"

#include "ListCells.h"
#include "ListRow.h"

using namespace Win;

LRESULT TListNotifier::Notify(NMHDR& Header)
{
    if (!m_Owner)
        return 0;
    return m_Owner(WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
}

LRESULT TListNotifier::Item(int Code, int Item, int SubItem, LPARAM Param)
{
    auto nm = Fresh<NMLISTVIEW>(Code);
    nm.iItem = Item;
    nm.iSubItem = SubItem;
    nm.lParam = Param;
    if (Param == 0) // a row inserted comes with its own: a million of them ask no row
        if (const TListRow* row = m_Cells.Row(Item))
            nm.lParam = row->Param();
    return Notify(nm.hdr);
}

LRESULT TListNotifier::Activate(int Item, int SubItem, const QPoint& At, Qt::KeyboardModifiers Keys)
{
    auto nm = Fresh<NMITEMACTIVATE>(LVN_ITEMACTIVATE);
    nm.iItem = Item;
    nm.iSubItem = SubItem;
    nm.ptAction = {At.x(), At.y()};
    if (const TListRow* row = m_Cells.Row(Item))
        nm.lParam = row->Param();
    if (Keys & Qt::AltModifier)
        nm.uKeyFlags |= LVKF_ALT;
    if (Keys & Qt::ControlModifier)
        nm.uKeyFlags |= LVKF_CONTROL;
    if (Keys & Qt::ShiftModifier)
        nm.uKeyFlags |= LVKF_SHIFT;
    return Notify(nm.hdr);
}

LRESULT TListNotifier::HotTrack(int& Item, int SubItem, const QPoint& At)
{
    auto nm = Fresh<NMLISTVIEW>(LVN_HOTTRACK);
    nm.iItem = Item;
    nm.iSubItem = SubItem;
    nm.ptAction = {At.x(), At.y()};
    const LRESULT result = Notify(nm.hdr);
    Item = nm.iItem;
    return result;
}

LRESULT TListNotifier::Header(int Code, int Item)
{
    NMHEADER nm;
    nm.hdr.hwndFrom = m_Header;
    nm.hdr.code = Code;
    nm.iItem = Item;
    return Notify(nm.hdr);
}

LRESULT TListNotifier::DrawHeaderItem(QPainter* Painter, const QRect& Rect, int Item, bool Pressed)
{
    if (!m_Owner)
        return 0;
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_HEADER;
    dis.itemID = static_cast<UINT>(Item);
    dis.itemState = Pressed ? ODS_SELECTED : 0;
    dis.hwndItem = m_Header;
    dis.hDC = Painter;
    dis.rcItem = Rect;
    return m_Owner(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

void TListNotifier::CacheHint(int First, int Last)
{
    auto nm = Fresh<NMLVCACHEHINT>(LVN_ODCACHEHINT);
    nm.iFrom = First;
    nm.iTo = Last;
    Notify(nm.hdr);
}

int TListNotifier::FindItem(int Start, const std::string& Text)
{
    auto nm = Fresh<NMLVFINDITEM>(LVN_ODFINDITEMA);
    nm.iStart = Start;
    nm.lvfi.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
    nm.lvfi.psz = Text.c_str();
    return static_cast<int>(m_Owner ? Notify(nm.hdr) : -1);
}

void TListNotifier::StateChanged(int First, int Last, UINT NewState, UINT OldState)
{
    auto nm = Fresh<NMLVODSTATECHANGE>(LVN_ODSTATECHANGED);
    nm.iFrom = First;
    nm.iTo = Last;
    nm.uNewState = NewState;
    nm.uOldState = OldState;
    Notify(nm.hdr);
}

bool TListNotifier::MarqueeBegin()
{
    auto nm = Fresh<NMLISTVIEW>(LVN_MARQUEEBEGIN);
    return Notify(nm.hdr) == 0;
}

void TListNotifier::DispInfo(LVITEM& Record)
{
    auto nm = Fresh<LVDISPINFO>(LVN_GETDISPINFOA);
    nm.item = Record;
    Notify(nm.hdr);
    Record = nm.item;
}

int TListNotifier::MeasureRow(int Height)
{
    MEASUREITEMSTRUCT measure;
    measure.CtlType = ODT_LISTVIEW;
    measure.itemHeight = static_cast<UINT>(Height);
    if (m_Owner)
        m_Owner(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return static_cast<int>(measure.itemHeight);
}

LRESULT TListNotifier::DrawRow(QPainter* Painter, const QRect& Rect, int Row, UINT State)
{
    if (!m_Owner)
        return 0;
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_LISTVIEW;
    dis.itemID = static_cast<UINT>(Row);
    dis.itemState = State;
    dis.hwndItem = m_Window;
    dis.hDC = Painter;
    dis.rcItem = Rect;
    return m_Owner(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
}
