#include "ListHeader.h"

#include "ListControl.h"
#include "ListNotifier.h"

#include <QMouseEvent>
#include <QStyleOptionHeader>

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
        // The header draws the item's frame, as the platform's does; its inside is the
        // owner's.
        QStyleOptionHeader frame;
        initStyleOption(&frame);
        frame.rect = Rect;
        frame.section = LogicalIndex;
        frame.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_HeaderSection, &frame, Painter, this);
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
