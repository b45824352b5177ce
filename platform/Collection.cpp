#include "Collection.h"

#include <algorithm>
#include <string>

int TCollectionItem::Index() const
{
    return m_Collection ? m_Collection->IndexOf(this) : -1;
}

void TCollectionItem::Assign(const TCollectionItem& Source)
{
    throw EConvertError(std::string("Cannot assign a ") + Source.ClassName() + " to a " +
                        ClassName());
}

void TCollectionItem::Changed(bool AllItems)
{
    if (m_Collection)
        m_Collection->ItemChanged(AllItems ? nullptr : this);
}

TCollection::~TCollection()
{
    // Going away tells nobody: the owner is going away too.
    m_UpdateCount = 1;
    m_Items.clear();
}

TCollectionItem* TCollection::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return m_Items[static_cast<std::size_t>(Index)].get();
}

TCollectionItem* TCollection::Add()
{
    std::unique_ptr<TCollectionItem> item = NewItem();
    TCollectionItem* raw = item.get();
    raw->SetCollection(this);
    m_Items.push_back(std::move(item));
    Changed();
    return raw;
}

void TCollection::Delete(int Index)
{
    Item(Index); // refuses an index out of range
    m_Items.erase(m_Items.begin() + Index);
    Changed();
}

void TCollection::Clear()
{
    if (m_Items.empty())
        return;
    BeginUpdate();
    m_Items.clear();
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (m_UpdateCount > 0 && --m_UpdateCount == 0)
        Changed();
}

void TCollection::Assign(const TCollection& Source)
{
    if (&Source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < Source.Count(); ++i)
            Add()->Assign(*Source.Item(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TCollection::IndexOf(const TCollectionItem* Item) const
{
    const auto at = std::find_if(m_Items.begin(), m_Items.end(),
                                 [Item](const auto& Own) { return Own.get() == Item; });
    return at == m_Items.end() ? -1 : static_cast<int>(at - m_Items.begin());
}

void TCollection::ItemChanged(TCollectionItem* Item)
{
    if (m_UpdateCount == 0)
        Update(Item);
}

void TCollection::Changed()
{
    if (m_UpdateCount == 0)
        Update(nullptr);
}
