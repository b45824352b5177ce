#pragma once

#include "Collection.h"

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

// The header images of a list's columns, entry i for column i; every change is applied to
// the owning list's header.
class TdfsExtListColumns final : public TCollection
{
public:
    explicit TdfsExtListColumns(TCustomExtListView* List) : m_List(List) {}

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
};
