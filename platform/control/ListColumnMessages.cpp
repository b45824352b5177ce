#include "ListColumnMessages.h"

#include "ListRecords.h"
#include "ListWindow.h"

#include <vector>

using namespace Win;
using ListRecords::Record;

namespace ListColumnMessages {

namespace {

LRESULT SetColumn(TListWindow& Control, int Index, const LVCOLUMN* Column)
{
    if (!Column || Index < 0 || Index >= Control.ColumnCount())
        return 0;
    if (Column->mask & LVCF_TEXT)
        Control.SetColumnCaption(Index, std::string(ListRecords::TextOf(Column->pszText)));
    if (Column->mask & LVCF_FMT)
        Control.SetColumnFormat(Index, Column->fmt);
    if (Column->mask & LVCF_WIDTH)
        Control.SetColumnWidth(Index, Column->cx);
    if (Column->mask & LVCF_IMAGE)
        Control.SetColumnImage(Index, Column->iImage);
    return 1;
}

LRESULT GetColumn(const TListWindow& Control, int Index, LVCOLUMN* Column)
{
    if (!Column || Index < 0 || Index >= Control.ColumnCount())
        return 0;
    ListRecords::FillColumn(Control.Column(Index), Control.ColumnWidth(Index),
                            Control.Header()->visualIndex(Index), *Column);
    return 1;
}

LRESULT HeaderItem(TListWindow& Control, UINT Msg, int Index, HDITEM* Item)
{
    if (!Item || Index < 0 || Index >= Control.ColumnCount())
        return 0;
    if (Msg == HDM_GETITEMA) {
        ListRecords::FillHeaderItem(Control.Column(Index), Control.ColumnWidth(Index), *Item);
        return 1;
    }
    if (Item->mask & HDI_FORMAT)
        Control.SetHeaderFormat(Index, Item->fmt);
    if (Item->mask & HDI_WIDTH)
        Control.SetColumnWidth(Index, Item->cxy);
    if (Item->mask & HDI_TEXT)
        Control.SetColumnCaption(Index, std::string(ListRecords::TextOf(Item->pszText)));
    if (Item->mask & HDI_IMAGE)
        Control.SetColumnImage(Index, Item->iImage);
    Control.Header()->viewport()->update();
    return 1;
}

} // namespace

std::optional<LRESULT> Handle(TListWindow& Control, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    const int index = static_cast<int>(WParam);
    const bool exists = index >= 0 && index < Control.ColumnCount();
    switch (Msg) {
    case LVM_INSERTCOLUMNA: {
        const auto* column = Record<LVCOLUMN>(LParam);
        return column ? Control.InsertColumn(index, ListRecords::ColumnOf(*column, index)) : -1;
    }
    case LVM_SETCOLUMNA:
        return SetColumn(Control, index, Record<LVCOLUMN>(LParam));
    case LVM_GETCOLUMNA:
        return GetColumn(Control, index, Record<LVCOLUMN>(LParam));
    case LVM_DELETECOLUMN:
        if (!exists)
            return 0;
        Control.DeleteColumn(index);
        return 1;
    case LVM_GETCOLUMNWIDTH:
        return Control.ColumnWidth(index);
    case LVM_SETCOLUMNWIDTH:
        if (!exists)
            return 0;
        Control.SetColumnWidth(index, static_cast<int>(LParam));
        return 1;
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(Control.Header());
    case LVM_SETCOLUMNORDERARRAY: {
        const int* order = Record<const int>(LParam);
        if (!order || index != Control.ColumnCount())
            return 0;
        return Control.SetColumnOrder(std::vector<int>(order, order + index)) ? 1 : 0;
    }
    case LVM_GETCOLUMNORDERARRAY: {
        int* order = Record<int>(LParam);
        if (!order || index != Control.ColumnCount())
            return 0;
        const std::vector<int> shown = Control.ColumnOrder();
        std::copy(shown.begin(), shown.end(), order);
        return 1;
    }
    case HDM_GETITEMA:
    case HDM_SETITEMA:
        return HeaderItem(Control, Msg, index, Record<HDITEM>(LParam));
    default:
        return std::nullopt;
    }
}

} // namespace ListColumnMessages
