// The list control's columns and header items, their image lists, and the display order.
#include "ListWindow.h"

#include "Cp1250.h"
#include "ListModel.h"
#include "ListRecords.h"

#include <algorithm>

using namespace Win;

int TListWindow::InsertColumn(int Index, const TColumn& Column)
{
    if (Index < 0 || Index > ColumnCount())
        Index = ColumnCount();
    m_Model->ColumnsInserting(Index, Index);
    m_Columns.insert(m_Columns.begin() + Index, Column);
    m_Model->ColumnsInserted();
    m_Header->resizeSection(Index, std::max(0, Column.Width));
    return Index;
}

void TListWindow::DeleteColumn(int Index)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    m_Model->ColumnsRemoving(Index, Index);
    m_Columns.erase(m_Columns.begin() + Index);
    m_Model->ColumnsRemoved();
}

void TListWindow::SetColumnCaption(int Index, const std::string& Caption)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    m_Columns[static_cast<std::size_t>(Index)].Caption = Caption;
    m_Model->HeaderChanged(Index);
}

void TListWindow::SetColumnFormat(int Index, int Format)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    auto& column = m_Columns[static_cast<std::size_t>(Index)];
    column.Format = Format;
    // The header item's format is rebuilt from the column's, as the platform does; whoever
    // painted the item must set its owner drawing again, and the notification tells them.
    column.HeaderFormat = ListRecords::HeaderFormatOf(Format);
    m_Model->HeaderChanged(Index);
    m_Model->ColumnChanged(Index);
    m_Notifier.Header(HDN_ITEMCHANGEDA, Index);
}

void TListWindow::SetColumnWidth(int Index, int Width)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    if (Width == LVSCW_AUTOSIZE || Width == LVSCW_AUTOSIZE_USEHEADER)
        Width = AutoSizeWidth(Index, Width == LVSCW_AUTOSIZE_USEHEADER);
    Width = std::max(0, Width);
    m_Columns[static_cast<std::size_t>(Index)].Width = Width;
    m_Header->resizeSection(Index, Width);
}

int TListWindow::ColumnWidth(int Index) const
{
    if (Index < 0 || Index >= ColumnCount())
        return 0;
    return m_Header->sectionSize(Index);
}

void TListWindow::SetColumnImage(int Index, int Image)
{
    if (Index >= 0 && Index < ColumnCount())
        m_Columns[static_cast<std::size_t>(Index)].Image = Image;
}

void TListWindow::SetHeaderFormat(int Index, int Format)
{
    if (Index < 0 || Index >= ColumnCount())
        return;
    int& format = m_Columns[static_cast<std::size_t>(Index)].HeaderFormat;
    if (format == Format)
        return;
    format = Format;
    m_Header->viewport()->update();
    m_Notifier.Header(HDN_ITEMCHANGEDA, Index);
}

TImageList* TListWindow::SetImageList(WPARAM Which, TImageList* Images)
{
    TImageList* old = ImageList(Which);
    if (Which == LVSIL_SMALL) {
        if (m_SmallImages)
            m_SmallImages->UnRegisterChanges(m_SmallImagesLink);
        m_SmallImages = Images;
        if (Images)
            Images->RegisterChanges(m_SmallImagesLink);
        m_View->viewport()->update();
        m_Header->viewport()->update();
    } else if (Which == LVSIL_NORMAL) {
        m_NormalImages = Images;
    } else if (Which == LVSIL_STATE) {
        m_StateImages = Images;
    }
    return old;
}

TImageList* TListWindow::ImageList(WPARAM Which) const
{
    switch (Which) {
    case LVSIL_SMALL:
        return m_SmallImages;
    case LVSIL_NORMAL:
        return m_NormalImages;
    case LVSIL_STATE:
        return m_StateImages;
    default:
        return nullptr;
    }
}

QImage TListWindow::SmallImage(int Index) const
{
    return m_SmallImages ? m_SmallImages->Picture(Index) : QImage();
}

bool TListWindow::SetColumnOrder(const std::vector<int>& Order)
{
    const int count = ColumnCount();
    if (int(Order.size()) != count)
        return false;
    std::vector<bool> seen(static_cast<std::size_t>(count));
    for (const int column : Order) {
        if (column < 0 || column >= count || seen[static_cast<std::size_t>(column)])
            return false;
        seen[static_cast<std::size_t>(column)] = true;
    }
    for (int p = 0; p < count; ++p)
        m_Header->moveSection(m_Header->visualIndex(Order[static_cast<std::size_t>(p)]), p);
    return true;
}

std::vector<int> TListWindow::ColumnOrder() const
{
    std::vector<int> order;
    for (int p = 0; p < ColumnCount(); ++p)
        order.push_back(m_Header->logicalIndex(p));
    return order;
}

int TListWindow::AutoSizeWidth(int Column, bool UseHeader) const
{
    if (Column < 0 || Column >= ColumnCount())
        return 0;
    const QFontMetrics fm(m_View->font());
    // A virtual list asks its owner for the rows on show only, and counts its header in:
    // asking for every row of ten million would freeze the window.
    int first = 0;
    int last = RowCount();
    if (OwnerData()) {
        first = std::min(m_View->TopRow(), RowCount());
        last = std::min(RowCount(), first + m_View->RowsShown() + 1);
        UseHeader = true;
    }
    int widest = 0;
    for (int r = first; r < last; ++r)
        widest = std::max(widest, fm.horizontalAdvance(CellText(r, Column)));
    widest += 12;
    if (UseHeader) {
        const QFontMetrics hm(m_Header->font());
        widest = std::max(widest, hm.horizontalAdvance(Cp1250::ToUnicode(
                                      m_Columns[static_cast<std::size_t>(Column)].Caption)) +
                                      16);
    }
    return widest;
}
