#pragma once

#include <QStringListModel>

// The entries of a pick list: whole for editing and for the program, cut to what can be seen
// for display (a pick list laying out an entry of megabytes would freeze on every drop-down).
class TPickListModel final : public QStringListModel
{
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;
    QVariant data(const QModelIndex& Index, int Role) const override;
};
