#include "ListRecords.h"

#include <algorithm>
#include <cstring>

using namespace Win;

namespace ListRecords {

std::unique_ptr<TListRow> RowOf(const LVITEM& Record)
{
    auto row = std::make_unique<TListRow>();
    if (Record.mask & LVIF_PARAM)
        row->SetParam(Record.lParam);
    if ((Record.mask & LVIF_TEXT) && Record.pszText)
        row->Text = TRowText::FromFields({std::string_view(Record.pszText)});
    if (Record.mask & LVIF_IMAGE)
        row->Image = Record.iImage;
    return row;
}

void FillItem(const TListRow& Row, UINT State, int Image, LVITEM& Record)
{
    if (Record.mask & LVIF_PARAM)
        Record.lParam = Row.Param();
    if (Record.mask & LVIF_TEXT)
        CopyText(Row.Text.Field(Record.iSubItem), Record.pszText, Record.cchTextMax);
    if (Record.mask & LVIF_STATE)
        Record.state = State & Record.stateMask;
    if (Record.mask & LVIF_IMAGE)
        Record.iImage = Image;
}

TReportColumn ColumnOf(const LVCOLUMN& Record, int Index)
{
    TReportColumn column;
    if (Record.mask & LVCF_TEXT)
        column.Caption = TextOf(Record.pszText);
    if (Record.mask & LVCF_WIDTH)
        column.Width = Record.cx;
    if (Record.mask & LVCF_FMT)
        column.Format = Record.fmt;
    column.SubItem = (Record.mask & LVCF_SUBITEM) ? Record.iSubItem : Index;
    if (Record.mask & LVCF_IMAGE)
        column.Image = Record.iImage;
    column.HeaderFormat = HeaderFormatOf(column.Format);
    return column;
}

int HeaderFormatOf(int ColumnFormat)
{
    int format = HDF_STRING | (ColumnFormat & LVCFMT_JUSTIFYMASK);
    if (ColumnFormat & LVCFMT_IMAGE)
        format |= HDF_IMAGE;
    if (ColumnFormat & LVCFMT_BITMAP_ON_RIGHT)
        format |= HDF_BITMAP_ON_RIGHT;
    return format;
}

void FillColumn(const TReportColumn& Column, int Width, int Order, LVCOLUMN& Record)
{
    if (Record.mask & LVCF_TEXT)
        CopyText(Column.Caption, Record.pszText, Record.cchTextMax);
    if (Record.mask & LVCF_FMT)
        Record.fmt = Column.Format;
    if (Record.mask & LVCF_WIDTH)
        Record.cx = Width;
    if (Record.mask & LVCF_SUBITEM)
        Record.iSubItem = Column.SubItem;
    if (Record.mask & LVCF_IMAGE)
        Record.iImage = Column.Image;
    if (Record.mask & LVCF_ORDER)
        Record.iOrder = Order;
}

void FillHeaderItem(const TReportColumn& Column, int Width, HDITEM& Record)
{
    if (Record.mask & HDI_FORMAT)
        Record.fmt = Column.HeaderFormat;
    if (Record.mask & HDI_WIDTH)
        Record.cxy = Width;
    if (Record.mask & HDI_TEXT)
        CopyText(Column.Caption, Record.pszText, Record.cchTextMax);
    if (Record.mask & HDI_IMAGE)
        Record.iImage = Column.Image;
}

void CopyText(std::string_view Text, char* Buffer, int Size)
{
    if (!Buffer || Size <= 0)
        return;
    const std::size_t n = std::min(Text.size(), static_cast<std::size_t>(Size - 1));
    if (n > 0)
        std::memcpy(Buffer, Text.data(), n);
    Buffer[n] = '\0';
}

} // namespace ListRecords
