#pragma once

#include <memory>
#include <stdexcept>
#include <vector>

class TCollection;

// A value that cannot be assigned from the given source.
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One item of a collection: belongs to its collection, knows its place, and tells the
// collection when it changes.
class TCollectionItem
{
public:
    virtual ~TCollectionItem() = default;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return m_Collection; }
    int Index() const;
    // Takes the source's values; the base refuses every source.
    virtual void Assign(const TCollectionItem& Source);
    // The class name shown in messages.
    virtual const char* ClassName() const { return "TCollectionItem"; }

    // Set by the collection that takes or drops the item.
    void SetCollection(TCollection* Collection) { m_Collection = Collection; }

protected:
    TCollectionItem() = default;
    // Tells the collection: this item changed, or (AllItems) every item may have.
    void Changed(bool AllItems);

private:
    TCollection* m_Collection = nullptr;
};

// An ordered set of items of one class that tells itself (Update) when an item or the whole
// set changed: after an item changes, is added or removed, and at the end of a batch of
// changes, but never while a batch is open.
class TCollection
{
public:
    virtual ~TCollection();
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    int Count() const { return static_cast<int>(m_Items.size()); }
    TCollectionItem* Item(int Index) const;
    TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    void BeginUpdate() { ++m_UpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return m_UpdateCount; }
    // One new item per source item, each assigned from it, in one batch.
    virtual void Assign(const TCollection& Source);

    int IndexOf(const TCollectionItem* Item) const;
    // An item's change: Update with it, or with none when every item changed.
    void ItemChanged(TCollectionItem* Item);

protected:
    TCollection() = default;
    virtual std::unique_ptr<TCollectionItem> NewItem() const = 0;
    // Runs after changes outside a batch; Item is none when the whole set changed.
    virtual void Update(TCollectionItem* Item) { (void)Item; }

private:
    void Changed();

    std::vector<std::unique_ptr<TCollectionItem>> m_Items;
    int m_UpdateCount = 0;
};
