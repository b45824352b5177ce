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
    Came(*row);
    if (Deferred()) {
        BeginChange();
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
    } else {
        m_Model->RowsInserting(Index, Index);
        m_Rows.insert(m_Rows.begin() + Index, std::move(Row));
        m_Model->RowsInserted();
    }
    m_Notifier.Item(LVN_INSERTITEM, Index, 0, row->Param());
    return Index;
}

void TListWindow::AppendRows(std::size_t Count, const TRowMaker& Make, bool Told)
{
    if (OwnerData() || Count == 0)
        return;
    ++m_Changes;
    const std::size_t first = m_Rows.size();
    // Inside an update bracket of its own: the view hears of all the rows as one reset, also of
    // a resort that an owner starts on hearing of a row; a row that cannot be made ends the
    // additions where they stand.
    BeginUpdate();
    BeginChange();
    try {
        m_Rows.reserve(first + Count);
        for (std::size_t i = 0; i < Count; ++i) {
            std::unique_ptr<TListRow> row = Make();
            if (!row)
                break;
            Came(*row);
            const LPARAM param = row->Param();
            m_Rows.push_back(std::move(row));
            if (Told)
                m_Notifier.Item(LVN_INSERTITEM, static_cast<int>(m_Rows.size() - 1), 0, param);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
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
    DeleteAll(false);
}

void TListWindow::DeleteAllRowsLeavingTexts()
{
    DeleteAll(true);
}

void TListWindow::DeleteAll(bool LeaveTexts)
{
    ++m_Changes;
    m_Notifier.Item(LVN_DELETEALLITEMS, -1);
    m_Unsorted.clear();
    m_Kept.Clear();
    for (std::size_t i = 0; i < m_Rows.size() && m_Journal.Recording(); ++i)
        m_Journal.Gone(m_Rows[i]->Text);
    if (Deferred()) {
        BeginChange();
        ReleaseRows(LeaveTexts);
    } else {
        m_Model->ResetBegins();
        ReleaseRows(LeaveTexts);
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

void TListWindow::Came(const TListRow& Row)
{
    Unsorted(&Row);
    m_Journal.Came(Row.Text);
    m_PooledRows += Row.Pooled();
}

void TListWindow::ForgetRow(const TListRow& Row)
{
    m_PooledRows -= Row.Pooled();
    std::erase(m_Unsorted, &Row);
    m_Journal.Gone(Row.Text);
    if (Row.HasSubItemImages)
        m_SubItemImages.erase(&Row);
}

namespace {

// Whether the rows stand mostly in the order of their addresses, as rows made one after another
// and never sorted do: then going over them as they stand reads memory in order already.
bool MostlyInMemoryOrder(const ListRowSort::TRows& Rows)
{
    std::size_t descents = 0;
    for (std::size_t i = 1; i < Rows.size(); ++i)
        descents += Rows[i].get() < Rows[i - 1].get();
    return descents < Rows.size() / 16;
}

} // namespace

void TListWindow::ReleaseRows(bool LeaveTexts)
{
    const auto release = [LeaveTexts](TListRow* Row) {
        if (LeaveTexts)
            Row->Text.Leave();
        delete Row;
    };
    const std::size_t count = m_Rows.size();
    m_SubItemImages.clear();
    if (LeaveTexts && m_PooledRows == count) {
        for (auto& row : m_Rows)
            TListRow::GiveBackLeft(row.release());
        m_Rows.clear();
        m_PooledRows = 0;
        return;
    }
    m_PooledRows = 0;
    // A long list goes in the order its rows stand in memory: the order they were made in,
    // which is also that of their texts, where a sort has left them in no order at all.
    constexpr std::size_t kLeastInMemoryOrder = 16384;
    if (count >= kLeastInMemoryOrder && !MostlyInMemoryOrder(m_Rows)) {
        m_ReleaseOrder.Start(count);
        for (const auto& row : m_Rows)
            m_ReleaseOrder.Add(row.get());
        for (auto& row : m_Rows) // the order holds them now
            (void)row.release();
        m_Rows.clear();
        m_ReleaseOrder.ForEach([&](void* Row) { release(static_cast<TListRow*>(Row)); });
        return;
    }
    // A row's texts are usually shared with a row of another list, somewhere else in memory,
    // and letting go of them touches them: each row, then its texts, is asked for ahead.
    constexpr std::size_t kAhead = ReadAhead::kRows;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 2 * kAhead < count)
            ReadAhead::Ask(m_Rows[i + 2 * kAhead].get());
        if (i + kAhead < count && !LeaveTexts)
            m_Rows[i + kAhead]->Text.ReadAhead();
        release(m_Rows[i].release());
    }
    m_Rows.clear();
}
