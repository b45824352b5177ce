#pragma once

#include "ListMessages.h"
#include "RowText.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTreeView>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One row of the list control: its texts and the item object (Param) it carries.
class TListRow
{
public:
    virtual ~TListRow() = default;
    TRowText Text;
    Win::LPARAM Param = 0;
};

class TListControl;

// Qt model over the control's rows; only the rows on screen are ever converted for display.
class TListModel final : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit TListModel(TListControl& Control);

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;

private:
    friend class TListControl;
    TListControl& m_Control;
};

// The report view: rows with grid lines on request, double-clicks reported to the control.
class TListTreeView final : public QTreeView
{
    Q_OBJECT
public:
    explicit TListTreeView(TListControl& Control);

protected:
    void drawRow(QPainter* Painter, const QStyleOptionViewItem& Option,
                 const QModelIndex& Index) const override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    TListControl& m_Control;
};

// The header: items whose format asks for owner drawing are painted by the list's owner.
class TListHeader final : public QHeaderView
{
    Q_OBJECT
public:
    explicit TListHeader(TListControl& Control);

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    TListControl& m_Control;
    int m_Pressed = -1;
};

// The report-style list control. Driven through SendMessage with the platform's message
// numbers and records; tells its owner what happened through notifications (WM_NOTIFY).
class TListControl final : public QWidget
{
    Q_OBJECT
public:
    using TOwnerProc = std::function<Win::LRESULT(Win::UINT, Win::WPARAM, Win::LPARAM)>;

    struct TColumn
    {
        std::string Caption;
        int Width = 50;
        int Format = Win::LVCFMT_LEFT;
        int SubItem = 0;
        int Image = -1;
        int HeaderFormat = Win::HDF_STRING;
    };

    explicit TListControl(QWidget* Parent = nullptr);
    ~TListControl() override;

    Win::LRESULT SendMessage(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam);
    void SetOwner(TOwnerProc Owner) { m_Owner = std::move(Owner); }

    // Direct row access for the base list view, which owns the item objects it inserts.
    int RowCount() const { return static_cast<int>(m_Rows.size()); }
    TListRow* Row(int Index) const;
    int IndexOfRow(const TListRow* Row) const;
    int InsertRow(int Index, std::unique_ptr<TListRow> Row);
    void DeleteRow(int Index);
    void DeleteAllRows();
    void SetRowText(int Index, TRowText Text);
    // A row's texts were changed in place: repaint it if it is on show.
    void RowTextChanged(const TListRow* Row);
    int SelectedRow() const;
    void SetSelectedRow(int Index);

    int ColumnCount() const { return static_cast<int>(m_Columns.size()); }
    const TColumn& Column(int Index) const { return m_Columns.at(static_cast<std::size_t>(Index)); }
    int InsertColumn(int Index, const TColumn& Column);
    void DeleteColumn(int Index);
    void SetColumnCaption(int Index, const std::string& Caption);
    void SetColumnFormat(int Index, int Format);
    void SetColumnWidth(int Index, int Width);
    int ColumnWidth(int Index) const;

    // Repaint bracket for bulk changes: the model is reset once at the close.
    void BeginUpdate();
    void EndUpdate();

    // The window's own state goes with the window: extended styles, hover time, order, formats.
    void ResetWindowState();

    bool IsSorting() const { return m_Sorting; }
    TListTreeView* View() const { return m_View; }
    TListHeader* Header() const { return m_Header; }
    Win::UINT ExtendedStyle() const { return m_ExStyle; }

private:
    friend class TListModel;
    friend class TListTreeView;
    friend class TListHeader;

    Win::LRESULT Notify(Win::NMHDR& Header);
    Win::LRESULT NotifyItem(int Code, int Item, int SubItem = 0, Win::LPARAM Param = 0);
    Win::LRESULT NotifyHeader(int Code, int Item);
    Win::LRESULT HeaderDrawItem(QPainter* Painter, const QRect& Rect, int Item, bool Pressed);

    bool SortItems(Win::PFNLVCOMPARE Compare, Win::LPARAM SortParam);
    bool SortItemsKeyed(const Win::LVSORTKEYED& Sort);
    template <typename TReorder> bool Reorder(TReorder&& Sort);
    int AutoSizeWidth(int Column, bool UseHeader) const;
    void ApplyExtendedStyle(Win::UINT Style);
    bool Deferred() const { return m_UpdateCount > 0; }
    void BeginChange();
    // What the cell shows of its text.
    QString CellText(int Row, int Column) const;
    static void CopyText(const std::string_view Text, char* Buffer, int Size);

    std::vector<std::unique_ptr<TListRow>> m_Rows;
    std::vector<TColumn> m_Columns;
    TListModel* m_Model = nullptr;
    TListTreeView* m_View = nullptr;
    TListHeader* m_Header = nullptr;
    TOwnerProc m_Owner;
    Win::UINT m_ExStyle = 0;
    int m_HoverTime = -1;
    int m_SelectionMark = -1;
    int m_VirtualCount = 0;
    int m_UpdateCount = 0;
    bool m_ResetOpen = false;
    bool m_Sorting = false;
};
