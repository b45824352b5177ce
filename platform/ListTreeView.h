#pragma once

#include <QTimer>
#include <QTreeView>

class TListControl;
class TListNotifier;

// The report view of the list control: rows of cells, one row selected; a double-click is
// told to the owner. Under the extended styles that ask for it, the row under the pointer is
// the hot row, and a pointer resting on a row selects it after the hover time.
class TListTreeView final : public QTreeView
{
    Q_OBJECT
public:
    TListTreeView(TListControl& Control, TListNotifier& Notifier);

    // The row under the pointer, or -1.
    int HotRow() const { return m_HotRow; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    void SetHotRow(int Row);
    void HoverTimeOver();

    TListControl& m_Control;
    TListNotifier& m_Notifier;
    int m_HotRow = -1;
    QTimer m_Hover;
};
