#include "ListModel.h"

#include "Cp1250.h"
#include "ListCells.h"
#include "ListRow.h"

#include <algorithm>

using namespace Win;

namespace {

Qt::Alignment AlignmentOf(int Format)
{
    switch (Format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

TListModel::TListModel(TListCells& Cells, QObject* Parent)
    : QAbstractItemModel(Parent), m_Cells(Cells)
{
}

QModelIndex TListModel::index(int Row, int Column, const QModelIndex& Parent) const
{
    if (Parent.isValid() || Row < 0 || Column < 0 || Row >= m_Cells.RowCount() ||
        Column >= m_Cells.ColumnCount())
        return {};
    return createIndex(Row, Column);
}

int TListModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : m_Cells.RowCount();
}

int TListModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : m_Cells.ColumnCount();
}

QVariant TListModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid())
        return {};
    switch (Role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_Cells.CellText(Index.row(), Index.column());
    case Qt::DecorationRole: {
        // The caption's image always; a sub-item's only under the sub-item image style.
        const int field = std::max(0, m_Cells.Column(Index.column()).SubItem);
        if (field > 0 && !(m_Cells.ExtendedStyle() & LVS_EX_SUBITEMIMAGES))
            return {};
        const QImage image = m_Cells.SmallImage(m_Cells.ImageOf(Index.row(), field));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    case Qt::CheckStateRole:
        // Under the check-box style the caption cell shows the row's state image.
        if (Index.column() != 0 || !(m_Cells.ExtendedStyle() & LVS_EX_CHECKBOXES))
            return {};
        if (const TListRow* row = m_Cells.Row(Index.row()))
            return row->StateImage == 2 ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        // Column 0 is always left-justified in a report view.
        return Index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(AlignmentOf(m_Cells.Column(Index.column()).Format));
    default:
        return {};
    }
}

QVariant TListModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation != Qt::Horizontal || Section < 0 || Section >= m_Cells.ColumnCount())
        return {};
    const auto& column = m_Cells.Column(Section);
    if (Role == Qt::DisplayRole)
        return Cp1250::ToUnicode(column.Caption);
    if (Role == Qt::TextAlignmentRole)
        return QVariant(AlignmentOf(column.Format));
    return {};
}

Qt::ItemFlags TListModel::flags(const QModelIndex& Index) const
{
    if (!Index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (Index.column() == 0 && (m_Cells.ExtendedStyle() & LVS_EX_CHECKBOXES))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool TListModel::setData(const QModelIndex& Index, const QVariant& Value, int Role)
{
    // A click on the check box, or Space: the row's state image toggles.
    if (Role != Qt::CheckStateRole || !(flags(Index) & Qt::ItemIsUserCheckable))
        return false;
    m_Cells.SetStateImage(Index.row(), Value.toInt() == Qt::Checked ? 2 : 1);
    return true;
}

void TListModel::RowsChanged(int First, int Last)
{
    if (columnCount() > 0)
        emit dataChanged(index(First, 0), index(Last, columnCount() - 1));
}

void TListModel::ColumnChanged(int Column)
{
    if (rowCount() > 0)
        emit dataChanged(index(0, Column), index(rowCount() - 1, Column));
}
