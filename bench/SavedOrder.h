#pragma once

#include "Catalogue.h"
#include "ExtListView.h"

#include <QString>

#include <memory>

// Catalogues as the catalogue itself saves them: each addition or edit sorts the master list
// by name before it is written, so a user's file stands in name order (in their locale).
namespace SavedOrder {

// A master list as the main window sets it up, empty.
inline std::unique_ptr<TdfsExtListView> MasterList(TAutoSortStyle Style = assDefault)
{
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    for (int i = 0; i < Catalogue::kFieldCount; ++i)
        list->Columns().Add();
    list->SetAutoColumnSort(acsSortToggle);
    list->SetAutoSortStyle(Style);
    list->SetAutoResort(false);
    list->Loaded();
    return list;
}

// Rewrites the file at Path in name order; false when it cannot be read or written.
inline bool Rewrite(const QString& Path)
{
    auto master = MasterList();
    if (!Catalogue::Load(Path, *master).Opened)
        return false;
    master->SortByColumn(0, true);
    return Catalogue::Save(Path, *master).Ok;
}

} // namespace SavedOrder
