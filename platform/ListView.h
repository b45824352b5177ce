#pragma once

#include "ChunkArena.h"
#include "ListControl.h"
#include "ReadAhead.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TCustomListView;

enum TAlignment : unsigned char
{
    taLeftJustify,
    taRightJustify,
    taCenter
};

// A row of a list view: the item object that the list control carries and hands to sorts.
class TListItem final : public TListRow
{
public:
    // A row of the list whose pool it is, made in the pool's room.
    static std::unique_ptr<TListItem> Make(TChunkArena& Pool);

    std::string_view Caption() const { return Text.Caption(); }
    void SetCaption(std::string_view Caption);
    int SubItemCount() const { return Text.SubItemCount(); }
    std::string_view SubItem(int Index) const { return Text.SubItem(Index); }
    void AddSubItem(std::string_view SubItem);
    void SetSubItem(int Index, std::string_view SubItem);
    void ClearSubItems();
    const TRowText& Texts() const { return Text; }
    // Replaces caption and sub-items at once; shares the given texts.
    void SetTexts(TRowText Texts);

    int Index() const;
    bool Selected() const;
    void SetSelected(bool Selected);
    // The check mark; setting it gives the list its check boxes, as the platform's item layer
    // does.
    bool Checked() const;
    void SetChecked(bool Checked);
    // The caption's and the sub-items' images in the list's small image list; -1 for none.
    int ImageIndex() const;
    void SetImageIndex(int Image);
    int SubItemImage(int Index) const;
    void SetSubItemImage(int Index, int Image);
    void Delete();
    TCustomListView& Owner() const
    {
        return *static_cast<TCustomListView*>(TChunkArena::TagOf(this));
    }
    // The state image (check boxes: 1 unchecked, 2 checked) and the overlay slot drawn on the
    // item's image (0 to 3, -1 for none).
    int StateIndex() const { return StateImage; }
    int OverlayIndex() const { return Overlay; }
    void SetOverlayIndex(int Index);
    // The platform's focused state of the item.
    bool Focused() const;

    // The owner's object tied to the item.
    void* Data() const { return reinterpret_cast<void*>(SpareWord()); }
    void SetData(void* Data) { SetSpareWord(reinterpret_cast<std::uintptr_t>(Data)); }

private:
    TListItem() noexcept : TListRow(TPooled()) {}
    void Replace(TRowText Texts);
};

// The rows of a list view, in display order.
class TListItems
{
public:
    explicit TListItems(TCustomListView& Owner) : m_Owner(Owner) {}

    TListItem* Add();
    // Adds a row that holds these texts from the start: one change to the list where Add and
    // SetTexts make two, for the million rows of a load or a rebuilt view.
    TListItem* Add(TRowText Texts);
    // Adds Count rows at the end as one change to the list, each made by Fill(TListItem&),
    // which gives it its texts (and its Data), before the list hears of it.
    void AddEach(std::size_t Count, const std::function<void(TListItem&)>& Fill);
    // Adds rows at the end as one change to the list while Fill(TListItem&) makes one (true),
    // up to Expected of them: a load that knows roughly how many lines its file holds. The list
    // takes room for Expected rows at once; rooms it does not fill are never touched.
    void AddWhile(std::size_t Expected, const std::function<bool(TListItem&)>& Fill);
    TListItem* Insert(int Index);
    // Count and Item stand inline at the end of this header: passes over a million rows call
    // them for every row.
    int Count() const;
    TListItem* Item(int Index) const;
    // Calls Visit(TListItem&) for the rows From to To - 1 (to the last row when To is -1), in
    // order, reading ahead as it goes. A Visit that returns false ends the pass.
    template <typename TVisit> void ForEach(TVisit&& Visit, int From = 0, int To = -1) const;
    TListItem* operator[](int Index) const { return Item(Index); }
    void Delete(int Index);
    // Deletes every row Doomed names, in one pass over the rows.
    void DeleteIf(const std::function<bool(const TListItem&)>& Doomed);
    void Clear();
    // The same, but each row leaves its hold on its texts behind for the rows added next with
    // the same texts to take over (TRowText::TakeOver).
    void ClearLeavingTexts();
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_UpdateCount; }

private:
    TListItem* Insert(int Index, TRowText Texts);

    TCustomListView& m_Owner;
    int m_UpdateCount = 0;
};

class TListColumn
{
public:
    TListColumn(TCustomListView& Owner, int Index) : m_Owner(Owner), m_Index(Index) {}

    const std::string& Caption() const { return m_Caption; }
    void SetCaption(std::string_view Caption);
    int Width() const;
    void SetWidth(int Width);
    TAlignment Alignment() const { return m_Alignment; }
    void SetAlignment(TAlignment Alignment);
    int Index() const { return m_Index; }
    // Its place among the columns, kept by the columns collection when one is deleted.
    void SetIndex(int Index) { m_Index = Index; }
    // The width last given, which a rebuilt header item starts from.
    int LastSetWidth() const { return m_Width; }

private:
    TCustomListView& m_Owner;
    int m_Index;
    std::string m_Caption;
    int m_Width = 50;
    TAlignment m_Alignment = taLeftJustify;
};

// The columns of a list view, in their defined order.
class TListColumns
{
public:
    explicit TListColumns(TCustomListView& Owner) : m_Owner(Owner) {}

    TListColumn* Add();
    int Count() const { return static_cast<int>(m_Columns.size()); }
    TListColumn* Items(int Index) const;
    TListColumn* operator[](int Index) const { return Items(Index); }
    void Delete(int Index);
    void Clear();
    void BeginUpdate() { ++m_UpdateCount; }
    void EndUpdate()
    {
        if (m_UpdateCount > 0)
            --m_UpdateCount;
    }

private:
    void SendAll();
    TCustomListView& m_Owner;
    std::vector<std::unique_ptr<TListColumn>> m_Columns;
    int m_UpdateCount = 0;
};

// The base list view: items with caption and sub-items, columns, and the hooks that the
// list control's notifications run, over the report list control (its "window").
class TCustomListView : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomListView(QWidget* Parent = nullptr);
    ~TCustomListView() override;

    TListItems& Items() { return m_Items; }
    const TListItems& Items() const { return m_Items; }
    TListColumns& Columns() { return m_Columns; }
    const TListColumns& Columns() const { return m_Columns; }
    // Where the list's rows are made: side by side, each knowing its list.
    TChunkArena& RowPool() { return m_RowPool; }
    TListItem* Selected() const;
    void SetSelected(TListItem* Item);

    // The window: created on demand, kept while hidden, re-created on request.
    bool HandleAllocated() const { return m_HandleAllocated; }
    void HandleNeeded();
    void RecreateWnd();
    // Destroys the window; the list hears WM_DESTROY. The most derived list calls it from its
    // destructor, so that the whole list hears it, as when its form closes.
    void DestroyHandle();
    Win::LRESULT Perform(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam);
    TListControl& Control() const { return *m_Control; }
    // Whether the list must hear of each item added (LVN_INSERTITEM), where items are added at
    // once: only for OnInsert. Else it hears of them all at once, by InsertedAtOnce.
    bool HearsOfInsertions() const { return bool(OnInsert); }
    virtual void InsertedAtOnce() {}

    // Stored settings are applied between BeginLoading() and Loaded(), as a form does.
    void BeginLoading() { m_Loading = true; }
    bool IsLoading() const { return m_Loading; }
    // Set by the most derived list as its destruction begins.
    bool IsDestroying() const { return m_Destroying; }
    virtual void Loaded();

    QColor Color() const { return m_Color; }
    void SetColor(const QColor& Color);
    // The images beside the items and in the header; not owned.
    TImageList* SmallImages() const { return m_SmallImages; }
    virtual void SetSmallImages(TImageList* Images);
    TImageList* StateImages() const { return m_StateImages; }
    void SetStateImages(TImageList* Images);
    // Whether more than one row may be selected; a change makes the window anew.
    bool MultiSelect() const { return m_MultiSelect; }
    void SetMultiSelect(bool Value);
    // Whether a list without the focus hides its selection.
    bool HideSelection() const { return m_HideSelection; }
    void SetHideSelection(bool Value) { m_HideSelection = Value; }

    std::function<void(QObject*, TListColumn*)> OnColumnClick;
    std::function<void(QObject*, TListItem*)> OnInsert;
    std::function<void(QObject*, TListItem*, std::string&)> OnEdited;
    std::function<void(QObject*)> OnDblClick;

protected:
    struct TCreateParams
    {
        Win::UINT Style = 0; // LVS_* bits of the list control's window
    };
    // What the window is created with; each level adds its own.
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    // The window's last work before it goes; the base sends the list WM_DESTROY.
    virtual void DestroyWnd();
    void BeginDestroying() { m_Destroying = true; }
    // Every message the list control sends its owner arrives here.
    virtual Win::LRESULT WndProc(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam);
    virtual Win::LRESULT CNNotify(Win::NMHDR& Header);

    virtual void ColClick(TListColumn* Column);
    virtual void InsertItem(TListItem* Item);
    virtual void Edit(const Win::LVITEM& Item);
    virtual void DblClick();

    bool CustomSort(Win::PFNLVCOMPARE Compare, Win::LPARAM Param);

private:
    TChunkArena m_RowPool{this};
    TListControl* m_Control;
    TListItems m_Items;
    TListColumns m_Columns;
    QColor m_Color;
    QPointer<TImageList> m_SmallImages;
    QPointer<TImageList> m_StateImages;
    bool m_HideSelection = true;
    bool m_MultiSelect = false;
    bool m_HandleAllocated = false;
    bool m_Loading = false;
    bool m_Destroying = false;
};

inline int TListItems::Count() const
{
    return m_Owner.Control().RowCount();
}

inline TListItem* TListItems::Item(int Index) const
{
    return static_cast<TListItem*>(m_Owner.Control().Row(Index));
}

template <typename TVisit> void TListItems::ForEach(TVisit&& Visit, int From, int To) const
{
    constexpr int kAhead = static_cast<int>(ReadAhead::kRows);
    const int count = Count();
    const int end = To < 0 ? count : std::min(To, count);
    for (int i = std::max(0, From); i < end; ++i) {
        if (i + 2 * kAhead < count)
            ReadAhead::Ask(Item(i + 2 * kAhead));
        if (i + kAhead < count)
            Item(i + kAhead)->Texts().ReadAhead();
        if constexpr (std::is_same_v<std::invoke_result_t<TVisit&, TListItem&>, bool>) {
            if (!Visit(*Item(i)))
                return;
        } else {
            Visit(*Item(i));
        }
    }
}
