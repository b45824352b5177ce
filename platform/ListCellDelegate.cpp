#include "ListCellDelegate.h"

#include "ListControl.h"

#include <QPainter>

TListCellDelegate::TListCellDelegate(const TListControl& Control) : m_Control(Control) {}

void TListCellDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                              const QModelIndex& Index) const
{
    QStyledItemDelegate::paint(Painter, Option, Index);
    if (!(m_Control.ExtendedStyle() & Win::LVS_EX_GRIDLINES))
        return;
    // The line below the cell and the one at its right edge; the next cell draws its own.
    const QRect r = Option.rect;
    Painter->save();
    Painter->setRenderHint(QPainter::Antialiasing, false); // crisp one-pixel lines
    Painter->setPen(Option.palette.color(QPalette::Mid));
    Painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    Painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    Painter->restore();
}
