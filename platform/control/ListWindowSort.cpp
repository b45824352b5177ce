// The list control's sorts of its rows: by the owner's comparison, and by keys, with the order
// the rows stand in remembered so that the next sort in it places only the rows that changed,
// and the orders left lately kept so that going back to one regroups the rows.
#include "ListWindow.h"

#include "ListModel.h"
#include "ListRowSort.h"

#include <optional>
#include <unordered_map>

using namespace Win;

// Runs Sort over the rows with the model told, and the selection and current row kept on
// the same row objects.
template <typename TReorder> bool TListWindow::Reorder(TReorder&& Sort)
{
    // A sort asked for from inside a running comparison would reorder the rows under it.
    if (m_Sorting)
        return false;
    m_Sorting = true;
    ++m_Reorders;
    m_Journal.Reordered();
    if (Deferred()) {
        // Inside the update bracket the view is reset at its close; make sure it will be.
        BeginChange();
        Sort();
        m_Sorting = false;
        return true;
    }
    const QModelIndexList persistent = m_Model->Persistent();
    std::vector<const TListRow*> persistentRows;
    persistentRows.reserve(static_cast<std::size_t>(persistent.size()));
    for (const auto& index : persistent)
        persistentRows.push_back(index.isValid() ? Row(index.row()) : nullptr);
    m_Model->LayoutChanging();
    Sort();

    if (!persistent.isEmpty()) {
        std::unordered_map<const TListRow*, int> where;
        where.reserve(persistentRows.size());
        for (const TListRow* row : persistentRows)
            if (row)
                where.emplace(row, -1);
        for (int i = 0; i < RowCount(); ++i) {
            auto it = where.find(m_Rows[static_cast<std::size_t>(i)].get());
            if (it != where.end())
                it->second = i;
        }
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (qsizetype i = 0; i < persistent.size(); ++i) {
            const TListRow* row = persistentRows[static_cast<std::size_t>(i)];
            moved.push_back(row ? m_Model->index(where[row], persistent[i].column())
                                : QModelIndex());
        }
        m_Model->MovePersistent(persistent, moved);
    }
    m_Model->LayoutChanged();
    m_Sorting = false;
    return true;
}

bool TListWindow::SortItems(PFNLVCOMPARE Compare, LPARAM SortParam)
{
    if (!Compare)
        return false;
    return Reorder([&] {
        LeaveSortedOrder();
        ListRowSort::TOrder moved;
        ListRowSort::ByComparison(m_Rows, Compare, SortParam, &moved);
        if (!moved.empty())
            m_Kept.Follow(moved);
        m_SortedOrder = 0;
        m_Unsorted.clear();
        m_Tied.clear();
    });
}

void TListWindow::LeaveSortedOrder()
{
    // Ranks kept before a row came, went or changed no longer hold.
    if (m_KeptChanges != m_Changes)
        m_Kept.Clear();
    m_KeptChanges = m_Changes;
    // The order the rows stand in is kept for a return to it, while it is whole.
    if (m_SortedOrder != 0 && m_Changes == m_SortedChanges && m_Unsorted.empty() &&
        m_Tied.size() == m_Rows.size())
        m_Kept.Keep(m_SortedOrder, m_SortedDescending, m_Tied);
}

bool TListWindow::SortItemsKeyed(const LVSORTKEYED& Sort)
{
    if (!Sort.Compare || !Sort.Key)
        return false;
    return Reorder([&] {
        const bool known = Sort.Order != 0 && Sort.Order == m_SortedOrder;
        const bool unchanged =
            m_Changes == m_SortedChanges && m_Unsorted.empty() && m_Tied.size() == m_Rows.size();
        if (known && Sort.Descending == m_SortedDescending) {
            if (!unchanged)
                m_Tied.clear(); // rows moved, came or went: the ties no longer line up
            if (m_KeptChanges != m_Changes)
                m_Kept.Clear(); // the rows that changed move
            ListRowSort::ByKeysAround(m_Rows, m_Unsorted, Sort);
        } else if (known && unchanged) {
            if (m_KeptChanges == m_Changes)
                m_Kept.FollowTurn(m_Tied);
            else
                m_Kept.Clear();
            ListRowSort::TurnRound(m_Rows, m_Tied);
        } else {
            LeaveSortedOrder();
            ListRowSort::TOrder moved;
            ListRowSort::TTies tied;
            // Back to an order kept since: the rows regroup by their ranks in it.
            if (std::optional<ListRowSort::TOrder> order =
                    Sort.Order != 0 ? m_Kept.Regroup(Sort.Order, Sort.Descending, tied)
                                    : std::nullopt) {
                ListRowSort::Move(m_Rows, *order);
                m_Kept.Follow(*order);
                m_Tied = std::move(tied);
            } else {
                m_Tied = ListRowSort::ByKeys(m_Rows, Sort, &moved);
                if (!moved.empty())
                    m_Kept.Follow(moved);
            }
        }
        m_SortedOrder = Sort.Order;
        m_SortedDescending = Sort.Descending;
        m_SortedChanges = m_Changes;
        m_Unsorted.clear();
    });
}
