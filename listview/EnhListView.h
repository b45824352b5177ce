#pragma once

#include "Canvas.h"
#include "HeaderItemLayout.h"
#include "LVSaveSettings.h"
#include "ListView.h"
#include "SortStyle.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TLVStyle : unsigned char
{
    lvStandard = 0,
    lvOwnerDrawFixed = 1
};

class TBuiltInSort;
class TCustomEnhListView;

// The platform's state of an owner-drawn row: the ODS_* bits.
using TOwnerDrawState = Win::UINT;
constexpr TOwnerDrawState odSelected = Win::ODS_SELECTED;
constexpr TOwnerDrawState odFocused = Win::ODS_FOCUS;

// The sorting level of the extended list view: sorting by a column on a header click, by a
// call or after an insertion, with a smart, a plain-text or the user's own comparison.
class TCustomEnhListView : public TCustomListView
{
    Q_OBJECT
public:
    using TLVSortStatusEvent = std::function<void(QObject*, int SortColumn, bool Ascending)>;
    using TLVSortItemsEvent =
        std::function<void(QObject*, TListItem*, TListItem*, int SortColumn, int& CompResult)>;
    using TLVEditCanceled = std::function<void(QObject*, TListItem*)>;
    using TLVHDrawItemEvent =
        std::function<void(QWidget* Control, TCanvas& ACanvas, int Index, const Win::TRect& ARect,
                           bool Selected, bool& DefaultDrawing)>;

    using TLVMeasureItemEvent = std::function<void(QWidget* Control, int& AHeight)>;
    using TLVDrawItemEvent =
        std::function<void(QWidget* Control, TCanvas& ACanvas, int Index, const Win::TRect& ARect,
                           TOwnerDrawState State, bool& DefaultDrawing, bool& FullRowSelect)>;
    using TLVDrawSubItemEvent =
        std::function<void(QWidget* Control, TCanvas& ACanvas, int Index, int SubItem,
                           const Win::TRect& ARect, TOwnerDrawState State, bool& DefaultDrawing)>;
    using TLVAfterDrawItemEvent =
        std::function<void(QWidget* Control, TCanvas& ACanvas, int Index, const Win::TRect& ARect,
                           TOwnerDrawState State)>;

    explicit TCustomEnhListView(QWidget* Parent = nullptr);
    ~TCustomEnhListView() override;

    // Whether a header click sorts (acsSort), sorts turning the direction on a second click
    // (acsSortToggle), or only names the sort column (acsNoSort).
    TAutoColumnSort AutoColumnSort() const { return m_AutoColumnSort; }
    void SetAutoColumnSort(TAutoColumnSort Value);
    // The built-in comparison: dates and numbers first (assSmart), or the texts (assDefault).
    TAutoSortStyle AutoSortStyle() const { return m_AutoSortStyle; }
    void SetAutoSortStyle(TAutoSortStyle Value);
    // Whether an inserted row or an accepted caption edit sorts the list again.
    bool AutoResort() const { return m_AutoResort; }
    void SetAutoResort(bool Value) { m_AutoResort = Value; }
    // The direction a first click on a column sorts in.
    bool AutoSortAscending() const { return m_AutoSortAscending; }
    void SetAutoSortAscending(bool Value);
    // lvOwnerDrawFixed: the list paints its rows itself, through the OnDraw... events.
    TLVStyle Style() const { return m_Style; }
    void SetStyle(TLVStyle Value);
    // A picture behind the rows; an empty one shows the list's colour.
    const QImage& BackgroundImage() const { return m_BackgroundImage; }
    void SetBackgroundImage(const QImage& Image);
    // An arrow in the sorted column's header item, pointing up for ascending unless reversed.
    bool ShowSortArrows() const { return m_ShowSortArrows; }
    virtual void SetShowSortArrows(bool Value);
    bool ReverseSortArrows() const { return m_ReverseSortArrows; }
    void SetReverseSortArrows(bool Value);
    // Paints header items in place of the list (or beside it, leaving DefaultDrawing set).
    const TLVHDrawItemEvent& OnDrawHeader() const { return m_OnDrawHeader; }
    void SetOnDrawHeader(TLVHDrawItemEvent Handler);
    // The arrow pictures, while arrows are shown.
    const TBitmap* AscendingArrow() const { return m_AscendingArrow.get(); }
    const TBitmap* DescendingArrow() const { return m_DescendingArrow.get(); }
    // The header items' canvas, while they are painted by the list.
    TCanvas* HeaderCanvas() const { return m_HeaderCanvas.get(); }
    // The component's name and version.
    virtual std::string Version() const;

    // The column and direction the list is sorted by (-1: none); setting them repaints the
    // arrows but does not sort.
    int CurrentSortColumn() const { return m_CurrentSortColumn; }
    bool CurrentSortAscending() const { return m_CurrentSortAscending; }
    void SetCurrentSortColumn(int ColumnIndex);
    void SetCurrentSortDirection(bool Ascending);
    // Whether a resort waits for the update bracket to close, and how deep the bracket is.
    bool ResortPending() const { return m_ResortPending; }
    int SortUpdateCount() const { return m_SortUpdateCount; }
    // What the list keeps between runs, and where.
    TdfsEnhLVSaveSettings& SaveSettingsObject() { return *m_SaveSettings; }

    // Repaints one column's header item.
    virtual void InvalidateHeaderItem(int ColumnIndex);
    // Sorts now, by a column, in a direction; does not change the current direction.
    virtual void SortByColumn(int ColumnIndex, bool Ascending);
    // Where a column is shown, and which column is shown at a position.
    virtual int PositionOfColumn(int ColumnIndex);
    virtual TListColumn* ColumnAtPosition(int Position);
    // A cell's text (Column -1 is the caption).
    virtual void GetCellText(int ItemIndex, int Column, std::string& Text);
    // Sorts again by the current column and direction, when sorting is possible now.
    virtual void ResortItems();
    // A bracket for bulk changes: a resort asked for inside runs once at its close.
    virtual void BeginItemsUpdate();
    virtual void EndItemsUpdate();
    // Every column as wide as its contents (and its caption, with UseHeader).
    virtual void SizeColumnsToContents(bool UseHeader);
    // Stores and restores the column widths and the sort state under the settings' registry
    // key; false when there is no key to use.
    virtual bool SaveListSettings();
    virtual bool LoadListSettings();

    void Loaded() override;

    void SetSmallImages(TImageList* Images) override;

    // Owner-drawn rows (Style lvOwnerDrawFixed).
    TLVMeasureItemEvent OnMeasureItem;
    TLVDrawItemEvent OnDrawItem;
    TLVDrawSubItemEvent OnDrawSubItem;
    TLVAfterDrawItemEvent OnAfterDefaultDrawItem;

    TLVSortStatusEvent OnSortBegin;
    TLVSortStatusEvent OnSortFinished;
    TLVSortItemsEvent OnSortItems;
    TLVEditCanceled OnEditCanceled;

    // The comparison of the built-in sort for two texts under a style, with sign +1.
    static int CompareTexts(std::string_view Left, std::string_view Right, TAutoSortStyle Style);

protected:
    virtual void SortBegin(int SortColumn, bool Ascending);
    virtual void SortFinished(int SortColumn, bool Ascending);
    virtual void SortItems(TListItem* Item1, TListItem* Item2, int SortColumn, int& CompResult);
    virtual void EditCanceled(TListItem* Item);
    virtual void ApplyBackgroundImage();
    // At the end of loading and at the window's end, when the settings ask for it.
    virtual bool AutoLoadListSettings();
    virtual void AutoSaveListSettings();
    // The widths of the columns in on-screen order, and giving them back.
    std::vector<int> WidthsByPosition();
    void SetWidthsByPosition(const std::vector<int>& Widths);
    void SaveColumnSizes();
    void LoadColumnSizes();
    // Reads the stored sort and sorts by it, a missing column clamped to the present ones.
    void LoadSortState();
    virtual void HeaderFormatsPosted();

    // The header items painted by the list: the entry for one item, the hook, the built-in
    // painting, switching the owner drawing, and the arrows' pictures.
    virtual void DrawHeaderItem(int Index, const Win::TRect& ARect, bool Selected);
    virtual void DrawHeaderHook(TCanvas& ACanvas, int Index, const Win::TRect& ARect, bool Selected,
                                bool& DefaultDrawing);
    virtual void DefaultDrawHeaderItem(TCanvas& ACanvas, int Index, const Win::TRect& ARect,
                                       bool Selected);
    virtual void SetHeaderOwnerDraw(bool OwnerDraw);

    // Owner-drawn rows: the height, the row entry, the default painting of a row and of a
    // cell (SubItem -1 is the caption), and the hooks of the three events.
    virtual void MeasureItem(int& Height);
    virtual void DrawItem(int Index, const Win::TRect& Rect, bool& FullRowSelect,
                          bool& DefaultDrawing, TOwnerDrawState State);
    virtual void DefaultDrawItem(int Index, const Win::TRect& Rect, bool FullRowSelect,
                                 TOwnerDrawState State);
    virtual void DefaultDrawSubItem(int Index, int SubItem, TOwnerDrawState State,
                                    const Win::TRect& Rect);
    virtual void DrawItemHook(int Index, const Win::TRect& Rect, TOwnerDrawState State,
                              bool& DefaultDrawing, bool& FullRowSelect);
    virtual void DrawSubItemHook(int Index, int SubItem, bool& DefaultDrawing,
                                 TOwnerDrawState State, const Win::TRect& Rect);
    virtual void AfterDefaultDrawItemHook(int Index, const Win::TRect& Rect, TOwnerDrawState State);
    // Whether the list has the focus, as owner-drawn rows show it.
    bool ListFocused() const;
    // The colours of a selected row: the selection's with the focus, grey without it unless
    // the selection hides then.
    void SelectionColours(TOwnerDrawState State);
    void CreateParams(TCreateParams& Params) override;
    virtual void BuildSortArrows(TBitmap& AscendingArrow, TBitmap& DescendingArrow);
    // The image that column Index's header item shows beside its caption when the list paints
    // it; the sorting level shows none.
    struct THeaderImage
    {
        const TImageList* Images = nullptr;
        int Index = -1;
        bool Right = false;
    };
    virtual THeaderImage ColumnHeaderImage(int Index) const
    {
        (void)Index;
        return {};
    }
    // The arrow that the item of this column shows, if any.
    const TBitmap* HeaderArrow(int Index, bool EventSortCounts) const;
    // The built-in painting of one header item at the sorting level or, with images and the
    // arrow right of the caption in every alignment, at the extended one.
    void PaintHeaderItem(TCanvas& ACanvas, int Index, const Win::TRect& ARect, bool Selected,
                         bool Extended);
    Win::LRESULT WndProc(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam) override;
    // New system colours give the arrows new pictures.
    void changeEvent(QEvent* Event) override;

    void CreateWnd() override;
    void DestroyWnd() override;
    Win::LRESULT CNNotify(Win::NMHDR& Header) override;
    void ColClick(TListColumn* Column) override;
    void InsertItem(TListItem* Item) override;
    void InsertedAtOnce() override;
    void Edit(const Win::LVITEM& Item) override;

    std::unique_ptr<TdfsEnhLVSaveSettings> m_SaveSettings;

private:
    // The comparison callbacks, given the list as their caller value, and the keys of the
    // built-in comparison for the control's keyed sort.
    static int BuiltInCompare(Win::LPARAM Item1, Win::LPARAM Item2, Win::LPARAM List);
    static int EventCompare(Win::LPARAM Item1, Win::LPARAM Item2, Win::LPARAM List);
    static void BuiltInKey(Win::LPARAM Item, Win::LPARAM List, Win::LVSORTKEY& Key);
    static bool BuiltInKeyWords(Win::LPARAM Item, Win::LPARAM List, std::uint32_t& State,
                                std::uint64_t& Word, std::uint64_t& Word2);
    static void BuiltInWorkerKey(Win::LPARAM Item, Win::LPARAM List, int Worker,
                                 Win::LVSORTKEY& Key);
    static int BuiltInWorkerCompare(Win::LPARAM Item1, Win::LPARAM Item2, Win::LPARAM List,
                                    int Worker);
    // The sort itself, once its context is set.
    void RunSort(bool Ascending);
    bool HeaderOwnerDrawWanted() const { return m_OnDrawHeader || m_ShowSortArrows; }
    void HeaderNotify(const Win::NMHDR& Header);
    Win::LRESULT MeasureRequest(Win::MEASUREITEMSTRUCT& Measure);
    Win::LRESULT DrawRowRequest(const Win::DRAWITEMSTRUCT& Draw);

    bool m_ResortPending = false;
    int m_SortUpdateCount = 1;
    TLVStyle m_Style = lvStandard;
    TAutoColumnSort m_AutoColumnSort = acsNoSort;
    TAutoSortStyle m_AutoSortStyle = assSmart;
    bool m_AutoResort = true;
    bool m_AutoSortAscending = true;
    bool m_CurrentSortAscending = true;
    int m_CurrentSortColumn = -1;
    bool m_ShowSortArrows = false;
    bool m_ReverseSortArrows = false;
    TLVHDrawItemEvent m_OnDrawHeader;
    std::unique_ptr<TBitmap> m_AscendingArrow;
    std::unique_ptr<TBitmap> m_DescendingArrow;
    std::unique_ptr<TCanvas> m_HeaderCanvas;
    void* m_HeaderHandle = nullptr;
    bool m_CreatingWindow = false;
    QImage m_BackgroundImage;
    std::unique_ptr<TBuiltInSort> m_BuiltIn;
};
