#pragma once

#include "AddressOrder.h"
#include "ImageList.h"
#include "KeptOrders.h"
#include "ListCells.h"
#include "ListHeader.h"
#include "ListMessages.h"
#include "ListNotifier.h"
#include "ListReportView.h"
#include "ListRow.h"
#include "ListRowSort.h"
#include "ReportColumn.h"
#include "RowTextJournal.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TListModel;

// The report-style list control's window: its rows and columns, its styles, and the rooms that
// show them (model, report view, header, cell painter) and tell its owner what happened
// (notifier). The rooms reach it through its cells; its messages come through TListControl.
class TListWindow : public QWidget, public TListCells
{
    Q_OBJECT
public:
    using TOwnerProc = TListNotifier::TOwnerProc;
    using TColumn = TReportColumn;

    explicit TListWindow(QWidget* Parent = nullptr);
    ~TListWindow() override;

    void SetOwner(TOwnerProc Owner) { m_Notifier.SetOwner(std::move(Owner)); }
    TListNotifier& Notifier() { return m_Notifier; }

    // Direct row access for the base list view, which owns the item objects it inserts. An
    // owner-data list holds no rows: it has a count, and asks its owner for what it shows.
    bool OwnerData() const { return (m_Style & Win::LVS_OWNERDATA) != 0; }
    int RowCount() const final
    {
        return OwnerData() ? m_VirtualCount : static_cast<int>(m_Rows.size());
    }
    TListRow* Row(int Index) const final
    {
        return Index < 0 || Index >= static_cast<int>(m_Rows.size())
                   ? nullptr
                   : m_Rows[static_cast<std::size_t>(Index)].get();
    }
    int IndexOfRow(const TListRow* Row) const;
    int InsertRow(int Index, std::unique_ptr<TListRow> Row);
    // Adds Count rows that Make gives (fewer if it gives none), one after another, at the end:
    // one change to the list for all of them, where InsertRow makes one each. Where Told, the
    // owner hears of each row as it comes (LVN_INSERTITEM); an owner that does nothing on
    // hearing of them is spared a million calls. A list rebuilt from another adds rows so.
    using TRowMaker = std::function<std::unique_ptr<TListRow>()>;
    void AppendRows(std::size_t Count, const TRowMaker& Make, bool Told = true);
    void DeleteRow(int Index);
    void DeleteAllRows();
    // The same, but each row leaves its hold on its texts behind (TRowText::Leave), for the
    // rows made next with the same texts to take over.
    void DeleteAllRowsLeavingTexts();
    // Deletes every row Doomed names, in one pass: the owner hears of each as of a deletion.
    void DeleteRowsIf(const std::function<bool(const TListRow&)>& Doomed);
    void SetRowText(int Index, TRowText Text);
    // Counts every change of the rows (added, deleted, texts changed), so that whoever sums
    // them can tell whether a sum still holds.
    std::uint64_t Changes() const { return m_Changes; }
    // Counts every sort or other reordering of the rows.
    std::uint64_t Reorders() const { return m_Reorders; }
    // A row's texts were changed in place: repaint it if it is on show.
    void RowTextChanged(const TListRow* Row);
    // The same, for a row whose texts were Before.
    void RowTextReplaced(const TListRow* Row, const TRowText& Before);
    // What became of the rows' texts, for the one reader that follows them.
    TRowTextJournal& TextJournal() { return m_Journal; }
    int SelectedRow() const final;
    void SetSelectedRow(int Index) final;
    // The row with the focus, or -1.
    int FocusedRow() const;
    // What a cell shows of its text, and the image of a row's field (-1 for none).
    QString CellText(int Row, int Column) const final;
    int ImageOf(int Row, int Field) const final;
    // The image of a row's field (0 the caption, 1.. the sub-items); -1 for none.
    int RowImage(const TListRow& Row, int Field) const;
    void SetRowImage(TListRow& Row, int Field, int Image);
    // The row's state image (check boxes: 1 unchecked, 2 checked), told to the owner as a
    // state change.
    void SetStateImage(int Row, Win::UINT Image) final;

    int ColumnCount() const final { return static_cast<int>(m_Columns.size()); }
    const TColumn& Column(int Index) const final
    {
        return m_Columns.at(static_cast<std::size_t>(Index));
    }
    int InsertColumn(int Index, const TColumn& Column);
    void DeleteColumn(int Index);
    void SetColumnCaption(int Index, const std::string& Caption);
    void SetColumnFormat(int Index, int Format);
    void SetColumnWidth(int Index, int Width);
    void SetColumnImage(int Index, int Image);
    void SetHeaderFormat(int Index, int Format);
    int ColumnWidth(int Index) const;
    // Display order: the column shown at each position; false when Order is no permutation.
    bool SetColumnOrder(const std::vector<int>& Order);
    std::vector<int> ColumnOrder() const;

    // The image lists (LVSIL_*) the control draws from; a list that is destroyed is dropped.
    // Returns the list set before.
    TImageList* SetImageList(Win::WPARAM Which, TImageList* Images);
    TImageList* ImageList(Win::WPARAM Which) const;
    TImageList* SmallImages() const final { return m_SmallImages; }
    // The small image list's picture Index, or a null image.
    QImage SmallImage(int Index) const final;

    // Repaint bracket for bulk changes: the model is reset once at the close.
    void BeginUpdate();
    void EndUpdate();

    // Sorts the rows by the comparison, keeping equal rows in order; false when refused.
    bool SortItems(Win::PFNLVCOMPARE Compare, Win::LPARAM SortParam);
    bool SortItemsKeyed(const Win::LVSORTKEYED& Sort);
    bool IsSorting() const { return m_Sorting; }

    // The window's own state goes with the window: extended styles, hover time, order, formats.
    void ResetWindowState();
    // The window style word the window was created with (LVS_*): owner data, owner-drawn
    // rows, single or multiple selection.
    Win::UINT WindowStyle() const final { return m_Style; }
    void SetWindowStyle(Win::UINT Style);
    // The height the owner gave its owner-drawn rows; 0 when rows are not owner-drawn.
    int OwnerDrawnRowHeight() const final { return m_OwnerDrawnRowHeight; }
    // Asks the owner to paint one owner-drawn row.
    void PaintOwnerDrawnRow(QPainter* Painter, const QRect& Rect, int Row, bool Focused) final;
    Win::UINT ExtendedStyle() const final { return m_ExStyle; }
    void ApplyExtendedStyle(Win::UINT Style);
    int HoverTime() const final { return m_HoverTime; }
    void SetHoverTime(int Time) { m_HoverTime = Time; }
    int SelectionMark() const { return m_SelectionMark; }
    void SetSelectionMark(int Mark) { m_SelectionMark = Mark; }
    int VirtualCount() const { return m_VirtualCount; }
    void SetVirtualCount(int Count);

    TListReportView* View() const { return m_View; }
    TListHeader* Header() const { return m_Header; }

private:
    template <typename TReorder> bool Reorder(TReorder&& Sort);
    // A row added or changed after the last keyed sort: the next sort in that order places it.
    void Unsorted(const TListRow* Row);
    // Before a sort in another order: the kept orders are checked, the one left is kept.
    void LeaveSortedOrder();
    // Destroys every row: a long list in the order its rows stand in memory. Rows that leave
    // their texts (TRowText::Leave) let go of no text, and pooled ones are not even read.
    void ReleaseRows(bool LeaveTexts = false);
    void Came(const TListRow& Row);
    void DeleteAll(bool LeaveTexts);
    // What the control keeps about a row that goes (its place among the unsorted rows, its
    // texts in the journal, its sub-item images).
    void ForgetRow(const TListRow& Row);
    int AutoSizeWidth(int Column, bool UseHeader) const;
    bool Deferred() const { return m_UpdateCount > 0; }
    void BeginChange();

    ListRowSort::TRows m_Rows;
    // The images of rows' sub-items, for the few rows that have them.
    std::unordered_map<const TListRow*, std::vector<int>> m_SubItemImages;
    std::vector<TColumn> m_Columns;
    TListNotifier m_Notifier;
    TListModel* m_Model = nullptr;
    TListReportView* m_View = nullptr;
    TListHeader* m_Header = nullptr;
    QPointer<TImageList> m_SmallImages;
    QPointer<TImageList> m_NormalImages;
    QPointer<TImageList> m_StateImages;
    TChangeLink m_SmallImagesLink;
    std::uint64_t m_Changes = 0;
    std::uint64_t m_Reorders = 0;
    // The order in which a long list's rows are let go of, its room kept for the next time.
    TAddressOrder m_ReleaseOrder;
    TRowTextJournal m_Journal;
    // How many of the rows were made in a pool (TListRow::Pooled).
    std::size_t m_PooledRows = 0;
    // The order the rows stand in (LVSORTKEYED::Order and direction) but for the rows in
    // m_Unsorted; 0 for none known. While no row has changed since that sort (m_SortedChanges),
    // m_Tied tells which rows equal the one before them, and the order turns round by itself.
    std::uint64_t m_SortedOrder = 0;
    bool m_SortedDescending = false;
    std::uint64_t m_SortedChanges = 0;
    std::vector<const TListRow*> m_Unsorted;
    ListRowSort::TTies m_Tied;
    // Orders the rows stood in lately, as ranks that hold while the rows' changes count
    // m_KeptChanges.
    TKeptOrders m_Kept;
    std::uint64_t m_KeptChanges = 0;
    Win::UINT m_Style = 0;
    int m_OwnerDrawnRowHeight = 0;
    Win::UINT m_ExStyle = 0;
    int m_HoverTime = -1;
    int m_SelectionMark = -1;
    int m_VirtualCount = 0;
    int m_UpdateCount = 0;
    bool m_ResetOpen = false;
    bool m_Sorting = false;
};
