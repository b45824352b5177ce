#include "ListHeader.h"

#include "ListControl.h"
#include "ListNotifier.h"

#include <QMouseEvent>

TListHeader::TListHeader(TListControl& Control, TListNotifier& Notifier)
    : QHeaderView(Qt::Horizontal, &Control), m_Control(Control), m_Notifier(Notifier)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TListHeader::paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const
{
    if (LogicalIndex >= 0 && LogicalIndex < m_Control.ColumnCount() &&
        (m_Control.Column(LogicalIndex).HeaderFormat & Win::HDF_OWNERDRAW)) {
        const bool pressed = m_Pressed == LogicalIndex;
        if (m_Notifier.DrawHeaderItem(Painter, Rect, LogicalIndex, pressed) != 0)
            return;
    }
    QHeaderView::paintSection(Painter, Rect, LogicalIndex);
}

void TListHeader::mousePressEvent(QMouseEvent* Event)
{
    m_Pressed = logicalIndexAt(Event->position().toPoint());
    QHeaderView::mousePressEvent(Event);
    viewport()->update();
}

void TListHeader::mouseReleaseEvent(QMouseEvent* Event)
{
    m_Pressed = -1;
    QHeaderView::mouseReleaseEvent(Event);
    viewport()->update();
}
