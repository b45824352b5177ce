#include "ListTreeView.h"

#include "ListControl.h"
#include "ListNotifier.h"

#include <QMouseEvent>

namespace {

// The platform's hover time when the list has none of its own.
constexpr int kDefaultHoverTime = 400;

} // namespace

TListTreeView::TListTreeView(TListControl& Control, TListNotifier& Notifier)
    : QTreeView(&Control), m_Control(Control), m_Notifier(Notifier)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    m_Hover.setSingleShot(true);
    connect(&m_Hover, &QTimer::timeout, this, &TListTreeView::HoverTimeOver);
}

void TListTreeView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    QTreeView::mouseDoubleClickEvent(Event);
    const QModelIndex at = indexAt(Event->position().toPoint());
    m_Notifier.Item(Win::NM_DBLCLK, at.isValid() ? at.row() : -1, at.isValid() ? at.column() : 0);
}

void TListTreeView::mouseMoveEvent(QMouseEvent* Event)
{
    QTreeView::mouseMoveEvent(Event);
    const QModelIndex at = indexAt(Event->position().toPoint());
    SetHotRow(at.isValid() ? at.row() : -1);
}

void TListTreeView::leaveEvent(QEvent* Event)
{
    QTreeView::leaveEvent(Event);
    SetHotRow(-1);
}

void TListTreeView::SetHotRow(int Row)
{
    if (Row == m_HotRow)
        return;
    const int old = m_HotRow;
    m_HotRow = Row;
    // Both rows repaint across the whole width: every cell of a row shows whether it is hot.
    for (const int r : {old, Row}) {
        if (r < 0 || !model())
            continue;
        const QRect cell = visualRect(model()->index(r, 0));
        viewport()->update(QRect(0, cell.top(), viewport()->width(), cell.height()));
    }
    // A pointer that rests on a row selects it once the hover time has passed.
    m_Hover.stop();
    if (Row >= 0 && (m_Control.ExtendedStyle() & Win::LVS_EX_TRACKSELECT)) {
        const int time = m_Control.HoverTime();
        m_Hover.start(time < 0 ? kDefaultHoverTime : time);
    }
}

void TListTreeView::HoverTimeOver()
{
    if (m_HotRow >= 0 && (m_Control.ExtendedStyle() & Win::LVS_EX_TRACKSELECT))
        m_Control.SetSelectedRow(m_HotRow);
}
