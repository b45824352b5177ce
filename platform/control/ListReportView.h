#pragma once

#include <QElapsedTimer>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

class QHeaderView;
class TListCells;
class TListNotifier;

// The report view of the list control: rows of one height under a header of columns, laid
// out by arithmetic, so that its cost follows the rows shown, not the rows held. One row is
// selected; a double-click is told to the owner. Under the extended styles that ask for it,
// the row under the pointer is the hot row, and a pointer resting on a row selects it after
// the hover time. An item is activated by a double-click or Enter, by one click or by a click
// on the selected item, as the activation styles say. A table view by descent, so that screen
// readers find a table in it; its row header is kept empty, since it would hold every row.
class TListReportView final : public QTableView
{
    Q_OBJECT
public:
    TListReportView(TListCells& Cells, TListNotifier& Notifier, QWidget* Parent);

    void SetHeader(QHeaderView* Header);
    QHeaderView* Header() const { return m_Header; }
    void setModel(QAbstractItemModel* Model) override;

    // Rows measured and laid out again (new rows, font, style or owner-drawn height).
    void Relayout();
    // Flat scroll bars: no frame, no arrow buttons, a plain handle on the list's background.
    void SetFlatScrollBars(bool Flat);
    // The row under the pointer, or -1.
    int HotRow() const { return m_HotRow; }
    int RowHeight() const { return m_RowHeight; }
    // The first row shown, and how many fit whole.
    int TopRow() const;
    int RowsShown() const;
    // The row's rectangle across the whole width of the view.
    QRect RowRect(int Row) const;

    QRect visualRect(const QModelIndex& Index) const override;
    void scrollTo(const QModelIndex& Index, ScrollHint Hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& Point) const override;
    int sizeHintForRow(int Row) const override;
    void keyboardSearch(const QString& Search) override;

public slots:
    void updateGeometries() override;

protected:
    QModelIndex moveCursor(CursorAction Action, Qt::KeyboardModifiers Modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& Index) const override;
    void setSelection(const QRect& Rect, QItemSelectionModel::SelectionFlags Command) override;
    QRegion visualRegionForSelection(const QItemSelection& Selection) const override;
    void scrollContentsBy(int Dx, int Dy) override;
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    void MeasureRows();
    // Rows added or removed: the scroll range follows once, not once per row.
    void ScheduleLayout();
    void LayOutPending();
    void TellShownRows(int First, int Last);
    void SetHotRow(int Row, bool MaySelect = true);
    void HoverTimeOver();
    void Activate(const QModelIndex& At, const QPoint& Point, Qt::KeyboardModifiers Keys);
    bool HotTracking() const;

    TListCells& m_Cells;
    TListNotifier& m_Notifier;
    QHeaderView* m_Header = nullptr;
    QStandardItemModel m_NoRows;
    int m_RowHeight = 18;
    bool m_LayoutPending = false;
    // The rows last told to the owner as shown (owner-data lists).
    int m_ShownFirst = -1;
    int m_ShownLast = -1;
    int m_HotRow = -1;
    bool m_HotMaySelect = true;
    QTimer m_Hover;
    // The press that may become a click: its row, and whether that row was selected before.
    // A press on empty space may start a rubber band, which the owner may refuse.
    enum class TMarquee
    {
        None,
        Pending,
        Running,
        Refused
    };
    TMarquee m_Marquee = TMarquee::None;
    QPoint m_PressAt;
    // What the user typed to find a row of an owner-data list, and since when.
    QString m_Typed;
    QElapsedTimer m_Typing;
    int m_PressRow = -1;
    bool m_PressOnSelected = false;
};
