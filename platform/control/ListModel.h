#pragma once

#include <QAbstractItemModel>

class TListCells;

// Qt model over the list control's rows; only the rows on screen are ever converted for
// display. The control announces its changes through the model's own begin/end steps.
class TListModel final : public QAbstractItemModel
{
    Q_OBJECT
public:
    TListModel(TListCells& Cells, QObject* Parent);

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;

    // The control's changes, announced around the change itself.
    void RowsInserting(int First, int Last) { beginInsertRows({}, First, Last); }
    void RowsInserted() { endInsertRows(); }
    void RowsRemoving(int First, int Last) { beginRemoveRows({}, First, Last); }
    void RowsRemoved() { endRemoveRows(); }
    void ColumnsInserting(int First, int Last) { beginInsertColumns({}, First, Last); }
    void ColumnsInserted() { endInsertColumns(); }
    void ColumnsRemoving(int First, int Last) { beginRemoveColumns({}, First, Last); }
    void ColumnsRemoved() { endRemoveColumns(); }
    void ResetBegins() { beginResetModel(); }
    void ResetEnds() { endResetModel(); }
    // Every cell of the rows, or every cell of a column, shows something new.
    void RowsChanged(int First, int Last);
    void ColumnChanged(int Column);
    void HeaderChanged(int Column) { emit headerDataChanged(Qt::Horizontal, Column, Column); }
    // Rows change places: the selection and the current row are moved with their rows.
    void LayoutChanging() { emit layoutAboutToBeChanged({}, VerticalSortHint); }
    void LayoutChanged() { emit layoutChanged({}, VerticalSortHint); }
    QModelIndexList Persistent() const { return persistentIndexList(); }
    void MovePersistent(const QModelIndexList& From, const QModelIndexList& To)
    {
        changePersistentIndexList(From, To);
    }

private:
    TListCells& m_Cells;
};
