#include "UndoSteps.h"

#include "ListControl.h"
#include "ListView.h"

#include <algorithm>
#include <unordered_set>

void TUndoSteps::RememberDeletion(const TListItem& Row)
{
    m_Steps.push_back({&Row, true, Row.Index(), Row.Texts(), {}});
}

void TUndoSteps::RememberEdit(const TListItem& Row)
{
    m_Steps.push_back({&Row, false, Row.Index(), Row.Texts(), {}});
}

void TUndoSteps::RememberAdded(std::vector<const TListItem*> Rows)
{
    m_Steps.push_back({nullptr, false, -1, TRowText(), std::move(Rows)});
}

void TUndoSteps::UndoAdded(const TStep& Step)
{
    // One pass over the list, however many rows go.
    const std::unordered_set<const TListItem*> added(Step.Added.begin(), Step.Added.end());
    m_Master.Items().DeleteIf([&](const TListItem& Row) { return added.count(&Row) > 0; });
}

bool TUndoSteps::Undo()
{
    if (m_Steps.empty())
        return false;
    const TStep step = m_Steps.back();
    m_Steps.pop_back();
    if (!step.Row) {
        UndoAdded(step);
        return true;
    }
    TListItems& rows = m_Master.Items();
    if (!step.Deleted) {
        // An edited row is still in the list: older steps point at it only through
        // deletions taken back before them, which re-point them below.
        const int now = m_Master.Control().IndexOfRow(step.Row);
        if (now < 0)
            return true;
        rows.Delete(now);
    }
    // Records added since may have made the list shorter than the old place.
    TListItem* back = rows.Insert(std::clamp(step.Index, 0, rows.Count()));
    back->SetTexts(step.Texts);
    // The row is a new object now: older steps about the same record follow it.
    for (TStep& older : m_Steps) {
        if (older.Row == step.Row)
            older.Row = back;
        std::replace(older.Added.begin(), older.Added.end(), step.Row,
                     static_cast<const TListItem*>(back));
    }
    return true;
}
