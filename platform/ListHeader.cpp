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

int TListHeader::DividerAt(const QPoint& Position) const
{
    // The style's grip on either side of a boundary between two sections.
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = logicalIndexAt(Position - QPoint(grip, 0));
    const int right = logicalIndexAt(Position + QPoint(grip, 0));
    if (left < 0 || left == right)
        return -1;
    return sectionResizeMode(left) == Interactive ? left : -1;
}

void TListHeader::mousePressEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    const int divider = Event->button() == Qt::LeftButton ? DividerAt(at) : -1;
    // A pressed divider starts tracking its column's width; the item is not pressed then.
    m_Pressed = divider >= 0 ? -1 : logicalIndexAt(at);
    if (divider >= 0)
        m_Notifier.Header(Win::HDN_BEGINTRACKA, divider);
    QHeaderView::mousePressEvent(Event);
    viewport()->update();
}

void TListHeader::mouseReleaseEvent(QMouseEvent* Event)
{
    m_Pressed = -1;
    QHeaderView::mouseReleaseEvent(Event);
    viewport()->update();
}
