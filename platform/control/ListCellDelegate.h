#pragma once

#include <QStyledItemDelegate>

class TListCells;
class TListReportView;

// Paints the cells of the list control as its extended styles say: the selection over the
// whole row or the caption cell only, the hot row highlighted and underlined, other rows
// underlined, and the grid lines.
class TListCellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // Parented to the view it paints for, which does not own it.
    TListCellDelegate(const TListCells& Cells, const TListReportView& View);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;

private:
    const TListCells& m_Cells;
    const TListReportView& m_View;
};
