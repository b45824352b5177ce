// The list control's rows coming and going: one inserted, one or many deleted, all released.
#include "ListWindow.h"

#include "ListModel.h"
#include "ReadAhead.h"

#include <algorithm>

using namespace Win;

int TListWindow::InsertRow(int Index, std::unique_ptr<TListRow> Row)
{
    if (OwnerData() || !Row)
        return -1; // rows held and rows asked for do not mix
    ++m_Changes;
    if (Index < 0 || Index > RowCount())
        Index = RowCount();
    TListRow* row = Row.get();
    Unsorted(row);
    m_Journal.Came(row->Text);
    if (Deferred()) {
        BeginChange();
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
    } else {
        m_Model->RowsInserting(Index, Index);
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
        m_Model->RowsInserted();
    }
    m_Notifier.Item(LVN_INSERTITEM, Index, 0, row->Param);
    return Index;
}

void TListWindow::DeleteRow(int Index)
{
    ++m_Changes;
    if (Index < 0 || Index >= RowCount())
        return;
    m_Notifier.Item(LVN_DELETEITEM, Index);
    ForgetRow(*m_Rows[static_cast<std::size_t>(Index)]);
    if (Deferred()) {
        BeginChange();
        m_Rows.erase(m_Rows.begin() + Index);
    } else {
        m_Model->RowsRemoving(Index, Index);
        m_Rows.erase(m_Rows.begin() + Index);
        m_Model->RowsRemoved();
    }
}

void TListWindow::DeleteAllRows()
{
    ++m_Changes;
    m_Notifier.Item(LVN_DELETEALLITEMS, -1);
    m_Unsorted.clear();
    m_Kept.Clear();
    for (std::size_t i = 0; i < m_Rows.size() && m_Journal.Recording(); ++i)
        m_Journal.Gone(m_Rows[i]->Text);
    if (Deferred()) {
        BeginChange();
        ReleaseRows();
    } else {
        m_Model->ResetBegins();
        ReleaseRows();
        m_Model->ResetEnds();
    }
}

void TListWindow::DeleteRowsIf(const std::function<bool(const TListRow&)>& Doomed)
{
    ++m_Changes;
    std::vector<std::size_t> doomed;
    for (std::size_t i = 0; i < m_Rows.size(); ++i)
        if (Doomed(*m_Rows[i]))
            doomed.push_back(i);
    if (doomed.empty())
        return;
    // Told last to first, so that each index names the row as it stands when told.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        m_Notifier.Item(LVN_DELETEITEM, int(*it));
    if (!Deferred())
        m_Model->ResetBegins();
    else
        BeginChange();
    std::size_t kept = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < m_Rows.size(); ++i) {
        if (next < doomed.size() && doomed[next] == i) {
            ++next;
            ForgetRow(*m_Rows[i]);
            m_Rows[i].reset();
        } else {
            m_Rows[kept++] = std::move(m_Rows[i]);
        }
    }
    m_Rows.resize(kept);
    if (!Deferred())
        m_Model->ResetEnds();
}

void TListWindow::ForgetRow(const TListRow& Row)
{
    std::erase(m_Unsorted, &Row);
    m_Journal.Gone(Row.Text);
    if (Row.HasSubItemImages)
        m_SubItemImages.erase(&Row);
}

void TListWindow::ReleaseRows()
{
    // A row's texts are usually shared with a row of another list, somewhere else in memory,
    // and letting go of them touches them: each row, then its texts, is asked for ahead.
    constexpr std::size_t kAhead = ReadAhead::kRows;
    const std::size_t count = m_Rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 2 * kAhead < count)
            ReadAhead::Ask(m_Rows[i + 2 * kAhead].get());
        if (i + kAhead < count)
            m_Rows[i + kAhead]->Text.ReadAhead();
        m_Rows[i].reset();
    }
    m_Rows.clear();
    m_SubItemImages.clear();
}
