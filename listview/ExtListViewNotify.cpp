// The extended level's virtual mode, the cell text by display position, and the further
// notifications of the list control with the answers they get.
#include "ExtListView.h"

#include "ListRecords.h"

#include <QPalette>

using namespace Win;

void TCustomExtListView::GetCellText(int ItemIndex, int Pos, std::string& Text)
{
    Text.clear();
    const TListItem* item = Items().Item(ItemIndex);
    if (!item)
        return;
    const int count = Columns().Count();
    if (count < Pos + 2) {
        if (item->SubItemCount() > Pos && Pos >= 0)
            Text = std::string(item->SubItem(Pos));
        return;
    }
    std::vector<int> order(std::size_t(count), 0);
    GetColumnOrder(count, order.data());
    const int column = order[std::size_t(Pos + 1)];
    if (column == 0)
        Text = std::string(item->Caption());
    else if (column - 1 < item->SubItemCount())
        Text = std::string(item->SubItem(column - 1));
}

void TCustomExtListView::SetVirtualMode(bool Value)
{
    if (Value == m_VirtualMode)
        return;
    m_VirtualMode = Value;
    if (HandleAllocated()) {
        Items().Clear();
        RecreateWnd();
        HandleNeeded();
    }
}

void TCustomExtListView::SetVirtualItemCount(int Count, TLVItemCountFlags Flags)
{
    m_VirtualItemCount = Count;
    m_VirtualItemCountFlags = Flags;
    if (HandleAllocated())
        Perform(LVM_SETITEMCOUNT, WPARAM(Count), LPARAM(Flags.ToPlatform()));
}

void TCustomExtListView::CreateParams(TCreateParams& Params)
{
    TCustomEnhListView::CreateParams(Params);
    if (m_VirtualMode)
        Params.Style |= LVS_OWNERDATA;
}

LRESULT TCustomExtListView::CNNotify(NMHDR& Header)
{
    switch (Header.code) {
    case LVN_MARQUEEBEGIN: {
        bool canBegin = true;
        MarqueeBegin(canBegin);
        return canBegin ? 0 : 1;
    }
    case LVN_ODFINDITEMA: {
        int found = -1;
        VMFindItem(reinterpret_cast<NMLVFINDITEM&>(Header), found);
        return found;
    }
    case LVN_GETDISPINFOA:
        if (!m_VirtualMode)
            break;
        VMGetItemInfo(reinterpret_cast<LVDISPINFO&>(Header).item);
        return 0;
    case LVN_HOTTRACK: {
        auto& nm = reinterpret_cast<NMLISTVIEW&>(Header);
        bool allowSelect = true;
        HotTrack(nm.iItem, nm.iSubItem, QPoint(nm.ptAction.x, nm.ptAction.y), allowSelect);
        return allowSelect ? 0 : 1;
    }
    case LVN_ODSTATECHANGED:
        VMStateChanged(reinterpret_cast<NMLVODSTATECHANGE&>(Header));
        return 0;
    case LVN_ITEMACTIVATE:
        ItemActivate();
        return 0;
    case LVN_ODCACHEHINT:
        VMCacheHint(reinterpret_cast<NMLVCACHEHINT&>(Header));
        return 0;
    default:
        break;
    }
    return TCustomEnhListView::CNNotify(Header);
}

void TCustomExtListView::MarqueeBegin(bool& CanBegin)
{
    if (OnMarqueeBegin)
        OnMarqueeBegin(this, CanBegin);
}

void TCustomExtListView::ItemActivate()
{
    if (OnItemActivate)
        OnItemActivate(this);
}

void TCustomExtListView::HotTrack(int& ItemIndex, int SubItemIndex, QPoint Location,
                                  bool& AllowSelect)
{
    if (OnHotTrack)
        OnHotTrack(this, ItemIndex, SubItemIndex, Location, AllowSelect);
}

void TCustomExtListView::VMGetItemInfo(LVITEM& Item)
{
    if (Item.iItem == -1 || !OnVMGetItemInfo)
        return;
    std::string text;
    int state = int(Item.state);
    int stateMask = int(Item.stateMask);
    TLVVMMaskItems mask = TLVVMMaskItems::FromPlatform(Item.mask, kVMMaskBits);
    const UINT asked = Item.mask;
    OnVMGetItemInfo(this, Item.iItem, Item.iSubItem, mask, Item.iImage, Item.lParam, state,
                    stateMask, Item.iIndent, text);
    if (asked & LVIF_TEXT)
        ListRecords::CopyText(text, Item.pszText, Item.cchTextMax);
    Item.state = UINT(state);
    Item.mask = mask.ToPlatform();
    Item.stateMask = UINT(stateMask);
}

void TCustomExtListView::VMCacheHint(NMLVCACHEHINT& HintInfo)
{
    if (OnVMCacheHint)
        OnVMCacheHint(this, HintInfo);
}

void TCustomExtListView::VMFindItem(NMLVFINDITEM& FindInfo, int& Found)
{
    if (OnVMFindItem)
        OnVMFindItem(this, FindInfo, Found);
}

void TCustomExtListView::VMStateChanged(NMLVODSTATECHANGE& StateInfo)
{
    if (OnVMStateChanged)
        OnVMStateChanged(this, StateInfo);
}

void TCustomExtListView::DrawItemHook(int Index, const TRect& Rect, TOwnerDrawState State,
                                      bool& DefaultDrawing, bool& FullRowSelect)
{
    FullRowSelect = ExtendedStyles().Has(lvxFullRowSelect);
    TCustomEnhListView::DrawItemHook(Index, Rect, State, DefaultDrawing, FullRowSelect);
}

void TCustomExtListView::DefaultDrawItem(int Index, const TRect& Rect, bool FullRowSelect,
                                         TOwnerDrawState State)
{
    if (!m_VirtualMode) {
        TCustomEnhListView::DefaultDrawItem(Index, Rect, FullRowSelect, State);
        return;
    }
    const int count = Columns().Count();
    if (count == 0)
        return;
    TCanvas& canvas = *HeaderCanvas();
    SelectionColours(State);
    auto widthAt = [this](int Position) {
        const TListColumn* column = ColumnAtPosition(Position);
        return column ? column->Width() : 0;
    };
    TRect r = Rect;
    r.Right = Rect.Left + widthAt(0) - 2;
    DefaultDrawSubItem(Index, -1, State, r);
    for (int p = 1; p < count; ++p) {
        if (!FullRowSelect) {
            canvas.BrushColor = SystemColor(clWindow, palette());
            canvas.FontColor = SystemColor(clWindowText, palette());
        }
        const int right = r.Right;
        r.Left = right + 4;
        r.Right = right + widthAt(p);
        DefaultDrawSubItem(Index, p - 1, State, r);
    }
}

void TCustomExtListView::DefaultDrawSubItem(int Index, int SubItem, TOwnerDrawState State,
                                            const TRect& Rect)
{
    if (!m_VirtualMode) {
        TCustomEnhListView::DefaultDrawSubItem(Index, SubItem, State, Rect);
        return;
    }
    // A virtual list has no texts of its own: only the handler paints its cells.
    TCanvas& canvas = *HeaderCanvas();
    canvas.Save();
    try {
        bool defaultDrawing = true;
        DrawSubItemHook(Index, SubItem, defaultDrawing, State, Rect);
    } catch (...) {
        canvas.Restore();
        throw;
    }
    canvas.Restore();
}
