// The report view's input: clicks, keys and the pointer, with the hot row, the hover
// selection and item activation.
#include "ListReportView.h"

#include "ListCells.h"
#include "ListNotifier.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The platform's hover time when the list has none of its own.
constexpr int kDefaultHoverTime = 400;

} // namespace

bool TListReportView::HotTracking() const
{
    return m_Cells.ExtendedStyle() &
           (Win::LVS_EX_TRACKSELECT | Win::LVS_EX_ONECLICKACTIVATE | Win::LVS_EX_TWOCLICKACTIVATE);
}

void TListReportView::Activate(const QModelIndex& At, const QPoint& Point,
                               Qt::KeyboardModifiers Keys)
{
    if (At.isValid())
        m_Notifier.Activate(At.row(), At.column(), Point, Keys);
}

void TListReportView::mousePressEvent(QMouseEvent* Event)
{
    const QModelIndex at = indexAt(Event->position().toPoint());
    m_PressRow = Event->button() == Qt::LeftButton && at.isValid() ? at.row() : -1;
    m_PressOnSelected = m_PressRow >= 0 && m_PressRow == m_Cells.SelectedRow();
    // A drag from empty space in a multi-selection list draws a rubber band.
    m_Marquee = Event->button() == Qt::LeftButton && !at.isValid() &&
                        selectionMode() == QAbstractItemView::ExtendedSelection
                    ? TMarquee::Pending
                    : TMarquee::None;
    m_PressAt = Event->position().toPoint();
    QTableView::mousePressEvent(Event);
}

void TListReportView::mouseReleaseEvent(QMouseEvent* Event)
{
    m_Marquee = TMarquee::None;
    QTableView::mouseReleaseEvent(Event);
    const QPoint point = Event->position().toPoint();
    const QModelIndex at = indexAt(point);
    const int pressed = m_PressRow;
    m_PressRow = -1;
    if (Event->button() != Qt::LeftButton || !at.isValid() || at.row() != pressed)
        return;
    const Win::UINT style = m_Cells.ExtendedStyle();
    if ((style & Win::LVS_EX_ONECLICKACTIVATE) ||
        ((style & Win::LVS_EX_TWOCLICKACTIVATE) && m_PressOnSelected))
        Activate(at, point, Event->modifiers());
}

void TListReportView::keyPressEvent(QKeyEvent* Event)
{
    QTableView::keyPressEvent(Event);
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        const QModelIndex current = currentIndex();
        Activate(current, visualRect(current).center(), Event->modifiers());
    }
}

void TListReportView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    QTableView::mouseDoubleClickEvent(Event);
    const QPoint point = Event->position().toPoint();
    const QModelIndex at = indexAt(point);
    m_Notifier.Item(Win::NM_DBLCLK, at.isValid() ? at.row() : -1, at.isValid() ? at.column() : 0);
    // Under one-click activation the first click of the two has activated the item already.
    if (Event->button() == Qt::LeftButton &&
        !(m_Cells.ExtendedStyle() & Win::LVS_EX_ONECLICKACTIVATE))
        Activate(at, point, Event->modifiers());
}

void TListReportView::mouseMoveEvent(QMouseEvent* Event)
{
    if (m_Marquee == TMarquee::Pending && (Event->buttons() & Qt::LeftButton) &&
        (Event->position().toPoint() - m_PressAt).manhattanLength() >=
            QApplication::startDragDistance())
        m_Marquee = m_Notifier.MarqueeBegin() ? TMarquee::Running : TMarquee::Refused;
    if (m_Marquee == TMarquee::Refused)
        return; // the owner keeps the selection as it is
    QTableView::mouseMoveEvent(Event);
    const QPoint point = Event->position().toPoint();
    const QModelIndex at = indexAt(point);
    int row = at.isValid() ? at.row() : -1;
    bool maySelect = true;
    if (HotTracking())
        maySelect = m_Notifier.HotTrack(row, at.isValid() ? at.column() : 0, point) == 0;
    SetHotRow(row >= 0 && row < m_Cells.RowCount() ? row : -1, maySelect);
}

void TListReportView::leaveEvent(QEvent* Event)
{
    QTableView::leaveEvent(Event);
    SetHotRow(-1);
}

void TListReportView::SetHotRow(int Row, bool MaySelect)
{
    m_HotMaySelect = MaySelect;
    if (!MaySelect)
        m_Hover.stop();
    if (Row == m_HotRow)
        return;
    const int old = m_HotRow;
    m_HotRow = Row;
    // Both rows repaint across the whole width: every cell of a row shows whether it is hot.
    for (const int r : {old, Row}) {
        if (r < 0 || !model())
            continue;
        viewport()->update(RowRect(r));
    }
    // A pointer that rests on a row selects it once the hover time has passed.
    m_Hover.stop();
    if (Row >= 0 && MaySelect && (m_Cells.ExtendedStyle() & Win::LVS_EX_TRACKSELECT)) {
        const int time = m_Cells.HoverTime();
        m_Hover.start(time < 0 ? kDefaultHoverTime : time);
    }
}

void TListReportView::HoverTimeOver()
{
    if (m_HotRow >= 0 && m_HotMaySelect && (m_Cells.ExtendedStyle() & Win::LVS_EX_TRACKSELECT))
        m_Cells.SetSelectedRow(m_HotRow);
}
