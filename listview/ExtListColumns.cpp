#include "ExtListColumns.h"

void TdfsExtListColumn::SetImageIndex(int Value)
{
    if (Value == m_ImageIndex)
        return;
    m_ImageIndex = Value;
    Changed(true);
}

void TdfsExtListColumn::SetImageAlignment(TColumnImageAlign Value)
{
    if (Value == m_ImageAlignment)
        return;
    m_ImageAlignment = Value;
    Changed(true);
}

void TdfsExtListColumn::Assign(const TCollectionItem& Source)
{
    const auto* column = dynamic_cast<const TdfsExtListColumn*>(&Source);
    if (!column) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetImageIndex(column->ImageIndex());
    SetImageAlignment(column->ImageAlignment());
}

void TdfsExtListColumns::Assign(const TCollection& Source)
{
    Clear();
    TCollection::Assign(Source);
}

void TdfsExtListColumns::Update(TCollectionItem* Item)
{
    if (!m_List || !m_Changed)
        return;
    m_Changed(Item ? Item->Index() : -1);
}
