#include "ListTreeView.h"

#include "ListNotifier.h"

#include <QMouseEvent>

TListTreeView::TListTreeView(QWidget* Parent, TListNotifier& Notifier)
    : QTreeView(Parent), m_Notifier(Notifier)
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
}

void TListTreeView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    QTreeView::mouseDoubleClickEvent(Event);
    const QModelIndex at = indexAt(Event->position().toPoint());
    m_Notifier.Item(Win::NM_DBLCLK, at.isValid() ? at.row() : -1, at.isValid() ? at.column() : 0);
}
