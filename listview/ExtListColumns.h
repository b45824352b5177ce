#pragma once

#include "Collection.h"

#include <functional>

class TCustomExtListView;

enum TColumnImageAlign : unsigned char
{
    ciaLeftOfText,
    ciaRightOfText
};

// The header image of one column: which small image, on which side of the caption.
class TdfsExtListColumn final : public TCollectionItem
{
public:
    TdfsExtListColumn() = default;

    int ImageIndex() const { return m_ImageIndex; }
    void SetImageIndex(int Value);
    TColumnImageAlign ImageAlignment() const { return m_ImageAlignment; }
    void SetImageAlignment(TColumnImageAlign Value);

    void Assign(const TCollectionItem& Source) override;
    const char* ClassName() const override { return "TdfsExtListColumn"; }

private:
    int m_ImageIndex = -1;
    TColumnImageAlign m_ImageAlignment = ciaRightOfText;
};

// The header images of a list's columns, entry i for column i; every change is told to the
// owning list, which applies it to its header.
class TdfsExtListColumns final : public TCollection
{
public:
    // Told the index of the column whose entry changed, or -1 when every entry may have.
    using TChangeHook = std::function<void(int Index)>;

    explicit TdfsExtListColumns(TCustomExtListView* List, TChangeHook Changed = {})
        : m_List(List), m_Changed(std::move(Changed))
    {
    }

    TCustomExtListView* Owner() const { return m_List; }
    TdfsExtListColumn* Items(int Index) const
    {
        return static_cast<TdfsExtListColumn*>(Item(Index));
    }
    TdfsExtListColumn* Add() { return static_cast<TdfsExtListColumn*>(TCollection::Add()); }
    void Assign(const TCollection& Source) override;

protected:
    std::unique_ptr<TCollectionItem> NewItem() const override
    {
        return std::make_unique<TdfsExtListColumn>();
    }
    void Update(TCollectionItem* Item) override;

private:
    TCustomExtListView* m_List;
    TChangeHook m_Changed;
};
