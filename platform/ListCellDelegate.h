#pragma once

#include <QStyledItemDelegate>

class TListControl;

// Paints the cells of the list control: the style's cell, then the grid lines when the
// control's extended style asks for them.
class TListCellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TListCellDelegate(const TListControl& Control);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override;

private:
    const TListControl& m_Control;
};
