// The extended level's columns: header images written into the header items, and the
// display order kept across window re-creations.
#include "ExtListView.h"

#include <algorithm>

using namespace Win;

void TCustomExtListView::SetSmallImages(TImageList* Value)
{
    if (SmallImages())
        SmallImages()->UnRegisterChanges(*m_ImageChangeLink);
    TCustomEnhListView::SetSmallImages(Value);
    if (Value)
        Value->RegisterChanges(*m_ImageChangeLink);
    SetHeaderOwnerDraw(OnDrawHeader() || ShowSortArrows());
}

void TCustomExtListView::SetShowSortArrows(bool Value)
{
    TCustomEnhListView::SetShowSortArrows(Value);
    ApplyColumnFormats();
}

void TCustomExtListView::ApplyColumnFormats()
{
    if (OnDrawHeader() || ShowSortArrows() || !HandleAllocated())
        return;
    for (int i = 0; i < Columns().Count(); ++i)
        ApplyColumnFormat(i);
}

void TCustomExtListView::ApplyColumnFormat(int Index)
{
    // The header item's own format counts only when the platform draws it. An index past
    // the columns (a header notification may name any item) has no column to format.
    if (OnDrawHeader() || ShowSortArrows() || !HandleAllocated() || Index < 0 ||
        Index >= m_ColumnsFormat->Count() || Index >= Columns().Count() || !SmallImages() ||
        SmallImages()->Count() == 0)
        return;
    LVCOLUMN column;
    Perform(LVM_GETCOLUMNA, WPARAM(Index), reinterpret_cast<LPARAM>(&column));
    const TdfsExtListColumn& format = *m_ColumnsFormat->Items(Index);
    if (format.ImageIndex() == -1) {
        column.mask = LVCF_FMT;
        column.fmt &= ~(LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
    } else {
        column.iImage = format.ImageIndex();
        column.mask |= LVCF_FMT | LVCF_IMAGE;
        column.fmt |= LVCFMT_IMAGE;
        if (format.ImageAlignment() == ciaRightOfText)
            column.fmt |= LVCFMT_BITMAP_ON_RIGHT;
    }
    switch (Columns().Items(Index)->Alignment()) {
    case taRightJustify:
        column.fmt |= LVCFMT_RIGHT;
        break;
    case taCenter:
        column.fmt |= LVCFMT_CENTER;
        break;
    case taLeftJustify:
        break;
    }
    Perform(LVM_SETCOLUMNA, WPARAM(Index), reinterpret_cast<LPARAM>(&column));
}

TCustomEnhListView::THeaderImage TCustomExtListView::ColumnHeaderImage(int Index) const
{
    const TImageList* images = SmallImages();
    if (!images || Index < 0 || Index >= m_ColumnsFormat->Count())
        return {};
    const TdfsExtListColumn& format = *m_ColumnsFormat->Items(Index);
    if (format.ImageIndex() < 0 || format.ImageIndex() >= images->Count())
        return {};
    return {images, format.ImageIndex(), format.ImageAlignment() == ciaRightOfText};
}

LRESULT TCustomExtListView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_NOTIFY && LParam) {
        const auto& header = *reinterpret_cast<const NMHDR*>(LParam);
        if (header.code == HDN_BEGINTRACKA)
            ApplyColumnFormat(reinterpret_cast<const NMHEADER&>(header).iItem);
    }
    return TCustomEnhListView::WndProc(Msg, WParam, LParam);
}

void TCustomExtListView::SetColumnOrder(int Count, const int* Orders)
{
    Count = std::max(0, Count);
    m_ColumnOrder = std::make_unique<std::vector<int>>(Orders, Orders + (Orders ? Count : 0));
    if (HandleAllocated()) {
        Perform(LVM_SETCOLUMNORDERARRAY, WPARAM(Count), reinterpret_cast<LPARAM>(Orders));
        Control().update();
    }
}

bool TCustomExtListView::GetColumnOrder(int Count, int* Orders)
{
    Count = std::max(0, Count);
    if (HandleAllocated()) {
        if (!m_ColumnOrder || int(m_ColumnOrder->size()) != Count)
            m_ColumnOrder = std::make_unique<std::vector<int>>(std::size_t(Count));
        const bool answered =
            Perform(LVM_GETCOLUMNORDERARRAY, WPARAM(Count), reinterpret_cast<LPARAM>(Orders)) != 0;
        if (Orders)
            std::copy(Orders, Orders + Count, m_ColumnOrder->begin());
        return answered;
    }
    if (!m_ColumnOrder)
        return false;
    const int n = std::min(Count, int(m_ColumnOrder->size()));
    if (Orders)
        std::copy(m_ColumnOrder->begin(), m_ColumnOrder->begin() + n, Orders);
    return true;
}

int TCustomExtListView::PositionOfColumn(int ColumnIndex)
{
    HandleNeeded();
    const int count = Columns().Count();
    if (ColumnIndex < 0 || ColumnIndex >= count)
        return 0;
    std::vector<int> order(std::size_t(count), 0);
    GetColumnOrder(count, order.data());
    const auto at = std::find(order.begin(), order.end(), ColumnIndex);
    return at == order.end() ? 0 : int(at - order.begin());
}

TListColumn* TCustomExtListView::ColumnAtPosition(int Position)
{
    HandleNeeded();
    const int count = Columns().Count();
    if (Position < 0 || Position >= count)
        return nullptr;
    std::vector<int> order(std::size_t(count), 0);
    GetColumnOrder(count, order.data());
    const int column = order[std::size_t(Position)];
    return column >= 0 && column < count ? Columns().Items(column) : nullptr;
}
