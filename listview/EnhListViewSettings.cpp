// The sorting level's settings between runs: column widths and the sort state, stored when
// the window ends and restored at the end of loading.
#include "EnhListView.h"

std::vector<int> TCustomEnhListView::WidthsByPosition()
{
    std::vector<int> widths;
    for (int p = 0; p < Columns().Count(); ++p) {
        const TListColumn* column = ColumnAtPosition(p);
        widths.push_back(column ? column->Width() : 0);
    }
    return widths;
}

void TCustomEnhListView::SetWidthsByPosition(const std::vector<int>& Widths)
{
    for (int p = 0; p < int(Widths.size()) && p < Columns().Count(); ++p)
        if (TListColumn* column = ColumnAtPosition(p))
            column->SetWidth(Widths[std::size_t(p)]);
}

void TCustomEnhListView::SaveColumnSizes()
{
    const std::vector<int> widths = WidthsByPosition();
    m_SaveSettings->WriteColumnSizes(int(widths.size()), widths.data());
}

void TCustomEnhListView::LoadColumnSizes()
{
    std::vector<int> widths = WidthsByPosition();
    m_SaveSettings->ReadColumnSizes(int(widths.size()), widths.data());
    if (!widths.empty() && widths[0] != -1)
        SetWidthsByPosition(widths);
}

void TCustomEnhListView::LoadSortState()
{
    bool ascending = true;
    int column = 0;
    m_SaveSettings->ReadSortState(ascending, column);
    // The columns may have changed since: never name a missing one.
    if (column >= Columns().Count())
        column = Columns().Count() - 1;
    if (column < 0)
        column = 0;
    BeginItemsUpdate();
    try {
        SetCurrentSortDirection(ascending);
        SetCurrentSortColumn(column);
        ResortItems();
    } catch (...) {
        EndItemsUpdate();
        throw;
    }
    EndItemsUpdate();
}

bool TCustomEnhListView::SaveListSettings()
{
    // Without a key there is nowhere to keep anything.
    if (m_SaveSettings->RegistryKey.empty())
        return false;
    // Widths and the sort state only where there are columns to speak of.
    if (Columns().Count() == 0)
        return true;
    if (m_SaveSettings->SaveColumnSizes)
        SaveColumnSizes();
    if (m_SaveSettings->SaveCurrentSort)
        m_SaveSettings->WriteSortState(m_CurrentSortAscending, m_CurrentSortColumn);
    return true;
}

bool TCustomEnhListView::LoadListSettings()
{
    if (m_SaveSettings->RegistryKey.empty())
        return false;
    if (m_SaveSettings->SaveColumnSizes && Columns().Count() > 0)
        LoadColumnSizes();
    if (m_SaveSettings->SaveCurrentSort)
        LoadSortState();
    return true;
}

bool TCustomEnhListView::AutoLoadListSettings()
{
    return m_SaveSettings->AutoSave && LoadListSettings();
}

void TCustomEnhListView::AutoSaveListSettings()
{
    if (m_SaveSettings->AutoSave && !IsLoading())
        SaveListSettings();
}
