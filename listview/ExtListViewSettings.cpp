// The extended level's settings between runs: the column order besides widths and sort, and
// storing them when the placed list is destroyed.
#include "ExtListView.h"

#include <QtGlobal>

bool TCustomExtListView::SaveListSettings()
{
    const TdfsExtLVSaveSettings& settings = SaveSettings();
    if (settings.RegistryKey.empty())
        return false;
    const int count = Columns().Count();
    if ((settings.SaveColumnOrder || settings.SaveColumnSizes) && count > 0) {
        if (settings.SaveColumnOrder) {
            std::vector<int> order(std::size_t(count), 0);
            GetColumnOrder(count, order.data());
            settings.WriteColumnOrder(count, order.data());
        }
        if (settings.SaveColumnSizes)
            SaveColumnSizes();
    }
    if (settings.SaveCurrentSort)
        settings.WriteSortState(CurrentSortAscending(), CurrentSortColumn());
    return true;
}

bool TCustomExtListView::LoadListSettings()
{
    const TdfsExtLVSaveSettings& settings = SaveSettings();
    if (settings.RegistryKey.empty())
        return false;
    const int count = Columns().Count();
    if ((settings.SaveColumnOrder || settings.SaveColumnSizes) && count > 0) {
        if (settings.SaveColumnOrder) {
            std::vector<int> order(std::size_t(count), 0);
            settings.ReadColumnOrder(count, order.data());
            SetColumnOrder(count, order.data());
        }
        if (settings.SaveColumnSizes)
            LoadColumnSizes(); // by the positions the order has just given
    }
    if (settings.SaveCurrentSort)
        LoadSortState();
    return true;
}

bool TCustomExtListView::AutoLoadListSettings()
{
    return SaveSettings().AutoSave && LoadListSettings();
}

void TCustomExtListView::AutoSaveListSettings()
{
    // A list being destroyed stores what it shows even when it never finished loading.
    if (SaveSettings().AutoSave && (!IsLoading() || IsDestroying()))
        SaveListSettings();
}

TdfsExtListView::~TdfsExtListView()
{
    BeginDestroying();
    try {
        DestroyHandle();
    } catch (const std::exception& Error) {
        // Nothing can be told from a destructor; the list goes all the same.
        qWarning("%s", Error.what());
    }
}
