#pragma once

#include <QTimer>
#include <QTreeView>

class TListControl;
class TListNotifier;

// The report view of the list control: rows of cells, one row selected; a double-click is
// told to the owner. Under the extended styles that ask for it, the row under the pointer is
// the hot row, and a pointer resting on a row selects it after the hover time. An item is
// activated by a double-click or Enter, by one click or by a click on the selected item,
// as the activation styles say.
class TListTreeView final : public QTreeView
{
    Q_OBJECT
public:
    TListTreeView(TListControl& Control, TListNotifier& Notifier);

    // The row under the pointer, or -1.
    int HotRow() const { return m_HotRow; }

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    void SetHotRow(int Row, bool MaySelect = true);
    void HoverTimeOver();
    void Activate(const QModelIndex& At, const QPoint& Point, Qt::KeyboardModifiers Keys);
    bool HotTracking() const;

    TListControl& m_Control;
    TListNotifier& m_Notifier;
    int m_HotRow = -1;
    bool m_HotMaySelect = true;
    QTimer m_Hover;
    // The press that may become a click: its row, and whether that row was selected before.
    int m_PressRow = -1;
    bool m_PressOnSelected = false;
};
