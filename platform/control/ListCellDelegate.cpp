#include "ListCellDelegate.h"

#include "Canvas.h"
#include "ListCells.h"
#include "ListReportView.h"

#include <QPainter>

TListCellDelegate::TListCellDelegate(const TListCells& Cells, const TListReportView& View)
    : QStyledItemDelegate(const_cast<TListReportView*>(&View)), m_Cells(Cells), m_View(View)
{
}

void TListCellDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                              const QModelIndex& Index) const
{
    QStyledItemDelegate::paint(Painter, Option, Index);
    if (!(m_Cells.ExtendedStyle() & Win::LVS_EX_GRIDLINES))
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

void TListCellDelegate::initStyleOption(QStyleOptionViewItem* Option,
                                        const QModelIndex& Index) const
{
    QStyledItemDelegate::initStyleOption(Option, Index);
    const Win::UINT style = m_Cells.ExtendedStyle();
    // Without full-row selection only the caption cell shows that its row is selected.
    if (!(style & Win::LVS_EX_FULLROWSELECT) && Index.column() != 0)
        Option->state &= ~QStyle::State_Selected;
    const bool hot = Index.row() == m_View.HotRow();
    const bool rowWide = (style & Win::LVS_EX_FULLROWSELECT) || Index.column() == 0;
    if (hot && rowWide && (style & Win::LVS_EX_ONECLICKACTIVATE) &&
        !(Option->state & QStyle::State_Selected)) {
        // The hot row in the hot-tracking colour, as the platform shows it.
        Option->palette.setColor(QPalette::Text, SystemColor(clHighlight, Option->palette));
        Option->state |= QStyle::State_MouseOver;
    }
    if (rowWide && ((hot && (style & Win::LVS_EX_UNDERLINEHOT)) ||
                    (!hot && (style & Win::LVS_EX_UNDERLINECOLD))))
        Option->font.setUnderline(true);
}
