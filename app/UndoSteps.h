#pragma once

#include "RowText.h"

#include <vector>

class TCustomListView;
class TListItem;

// The deletions and edits of the master list, taken back one at a time, newest first.
class TUndoSteps
{
public:
    explicit TUndoSteps(TCustomListView& Master) : m_Master(Master) {}

    // Before a master row is deleted or overwritten: what it holds and where it stands.
    void RememberDeletion(const TListItem& Row);
    void RememberEdit(const TListItem& Row);
    // Rows added together (an import): taken back together.
    void RememberAdded(std::vector<const TListItem*> Rows);

    bool IsEmpty() const { return m_Steps.empty(); }
    // Puts the newest step's row back as it was, at its old place in master order.
    // False when there is nothing to take back.
    bool Undo();

private:
    struct TStep
    {
        const TListItem* Row; // the edited row; for a deletion, the row that went
        bool Deleted;
        int Index;
        TRowText Texts;
        std::vector<const TListItem*> Added; // rows added together; then no Row
    };
    void UndoAdded(const TStep& Step);

    TCustomListView& m_Master;
    std::vector<TStep> m_Steps;
};
