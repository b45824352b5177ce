#include "ListItemMessages.h"

#include "ListRecords.h"
#include "ListWindow.h"

#include <QItemSelectionModel>

#include <algorithm>

using namespace Win;
using ListRecords::Record;

namespace ListItemMessages {

namespace {

UINT StateOf(const TListWindow& Control, int Row)
{
    UINT state = 0;
    if (Row >= 0 && Control.SelectedRow() == Row)
        state |= LVIS_SELECTED;
    if (Row >= 0 && Control.FocusedRow() == Row)
        state |= LVIS_FOCUSED;
    if (const TListRow* row = Control.Row(Row))
        state |= INDEXTOSTATEIMAGEMASK(row->StateImage) |
                 INDEXTOOVERLAYMASK(static_cast<UINT>(row->Overlay + 1));
    return state;
}

LRESULT SetItem(TListWindow& Control, UINT Msg, WPARAM WParam, LVITEM* Item)
{
    const int index =
        Msg == LVM_SETITEMTEXTA ? static_cast<int>(WParam) : (Item ? Item->iItem : -1);
    TListRow* row = Control.Row(index);
    if (!row || !Item)
        return 0;
    // Refused before anything changes: a list view's item carries only itself.
    if (Msg == LVM_SETITEMA && (Item->mask & LVIF_PARAM) && !row->SetParam(Item->lParam))
        return 0;
    if (Msg == LVM_SETITEMTEXTA || (Item->mask & LVIF_TEXT))
        Control.SetRowText(index,
                           row->Text.WithField(Item->iSubItem, ListRecords::TextOf(Item->pszText)));
    if (Msg == LVM_SETITEMA && (Item->mask & LVIF_IMAGE)) {
        Control.SetRowImage(*row, Item->iSubItem, Item->iImage);
        Control.RowTextChanged(row);
    }
    return 1;
}

LRESULT SetItemState(TListWindow& Control, int Row, const LVITEM* Item)
{
    if (!Item)
        return 0;
    if (Item->stateMask & LVIS_STATEIMAGEMASK)
        Control.SetStateImage(Row, (Item->state & LVIS_STATEIMAGEMASK) >> 12);
    if (TListRow* row = Control.Row(Row); row && (Item->stateMask & LVIS_OVERLAYMASK)) {
        row->Overlay = static_cast<std::int8_t>(int((Item->state & LVIS_OVERLAYMASK) >> 8) - 1);
        Control.RowTextChanged(row);
    }
    if (Item->stateMask & LVIS_SELECTED) {
        if (Item->state & LVIS_SELECTED)
            Control.SetSelectedRow(Row);
        else if (Control.SelectedRow() == Row || Row == -1)
            Control.SetSelectedRow(-1);
    }
    return 1;
}

LRESULT NextItem(const TListWindow& Control, int Start, UINT Flags)
{
    if (Flags & LVNI_SELECTED) {
        const int selected = Control.SelectedRow();
        return selected > Start ? selected : -1;
    }
    if (Flags & LVNI_FOCUSED) {
        const int focused = Control.FocusedRow();
        return focused > Start ? focused : -1;
    }
    return Start + 1 < Control.RowCount() ? Start + 1 : -1;
}

LRESULT InsertItem(TListWindow& Control, const LVITEM* Item)
{
    if (Control.OwnerData())
        return -1; // the owner holds the items
    return Item ? Control.InsertRow(Item->iItem, ListRecords::RowOf(*Item)) : -1;
}

LRESULT GetItem(const TListWindow& Control, LVITEM* Item)
{
    const TListRow* row = Item ? Control.Row(Item->iItem) : nullptr;
    if (!row)
        return 0;
    ListRecords::FillItem(*row, StateOf(Control, Item->iItem),
                          Control.RowImage(*row, Item->iSubItem), *Item);
    return 1;
}

LRESULT GetItemText(const TListWindow& Control, int Index, LVITEM* Item)
{
    const TListRow* row = Control.Row(Index);
    if (!row || !Item)
        return 0;
    const auto text = row->Text.Field(Item->iSubItem); // field 0 is the caption
    ListRecords::CopyText(text, Item->pszText, Item->cchTextMax);
    return static_cast<LRESULT>(
        std::min<std::size_t>(text.size(), Item->cchTextMax > 0 ? Item->cchTextMax - 1 : 0));
}

LRESULT DeleteItem(TListWindow& Control, int Index)
{
    if (!Control.Row(Index))
        return 0;
    Control.DeleteRow(Index);
    return 1;
}

LRESULT Sort(TListWindow& Control, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Control.OwnerData())
        return 0;
    if (Msg == LVM_SORTITEMS)
        return Control.SortItems(reinterpret_cast<PFNLVCOMPARE>(LParam),
                                 static_cast<LPARAM>(WParam))
                   ? 1
                   : 0;
    return LParam && Control.SortItemsKeyed(*Record<LVSORTKEYED>(LParam)) ? 1 : 0;
}

} // namespace

std::optional<LRESULT> Handle(TListWindow& Control, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    const int index = static_cast<int>(WParam);
    switch (Msg) {
    case LVM_GETITEMCOUNT:
        return Control.RowCount();
    case LVM_DELETEITEM:
        return DeleteItem(Control, index);
    case LVM_DELETEALLITEMS:
        Control.DeleteAllRows();
        return 1;
    case LVM_INSERTITEMA:
        return InsertItem(Control, Record<LVITEM>(LParam));
    case LVM_GETITEMA:
        return GetItem(Control, Record<LVITEM>(LParam));
    case LVM_SETITEMA:
    case LVM_SETITEMTEXTA:
        return SetItem(Control, Msg, WParam, Record<LVITEM>(LParam));
    case LVM_GETITEMTEXTA:
        return GetItemText(Control, index, Record<LVITEM>(LParam));
    case LVM_SETITEMSTATE:
        return SetItemState(Control, index, Record<LVITEM>(LParam));
    case LVM_GETITEMSTATE:
        return static_cast<LRESULT>(StateOf(Control, index) & static_cast<UINT>(LParam));
    case LVM_GETNEXTITEM:
        return NextItem(Control, index, static_cast<UINT>(LParam));
    case LVM_SORTITEMS:
    case LVM_SORTITEMSKEYED:
        return Sort(Control, Msg, WParam, LParam);
    default:
        return std::nullopt;
    }
}

} // namespace ListItemMessages
