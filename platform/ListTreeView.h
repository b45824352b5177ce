#pragma once

#include <QTreeView>

class TListNotifier;

// The report view of the list control: rows of cells, one row selected; a double-click is
// told to the owner.
class TListTreeView final : public QTreeView
{
    Q_OBJECT
public:
    TListTreeView(QWidget* Parent, TListNotifier& Notifier);

protected:
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    TListNotifier& m_Notifier;
};
