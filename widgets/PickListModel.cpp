#include "PickListModel.h"

#include "ShownText.h"

QVariant TPickListModel::data(const QModelIndex& Index, int Role) const
{
    if (Role == Qt::DisplayRole && Index.isValid() && Index.row() < rowCount())
        return ShownText::Of(stringList().at(Index.row()));
    return QStringListModel::data(Index, Role);
}
