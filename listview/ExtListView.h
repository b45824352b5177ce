#pragma once

#include "EnhListView.h"
#include "ExtListColumns.h"
#include "ImageList.h"

#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The list view's own errors.
class EELVException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The common controls library is older than the list needs.
class EELVOldComCtl : public EELVException
{
public:
    using EELVException::EELVException;
};

// True when the library file's version is at least Major.Minor.Release.Build; false when it
// is older or its version information cannot be read.
bool CheckDLLVersion(const std::string& FileName, std::uint16_t Major, std::uint16_t Minor,
                     std::uint16_t Release, std::uint16_t Build);

enum TLVExtendedStyle : unsigned char
{
    lvxGridLines,
    lvxSubItemImages,
    lvxCheckboxes,
    lvxTrackSelect,
    lvxHeaderDragDrop,
    lvxFullRowSelect,
    lvxOneClickActivate,
    lvxTwoClickActivate,
    lvxFlatScrollBar,
    lvxUnderlineHot,
    lvxUnderlineCold
};

// A set of extended styles; bit n stands for the member of ordinal n.
class TLVExtendedStyles
{
public:
    constexpr TLVExtendedStyles() = default;
    constexpr TLVExtendedStyles(std::initializer_list<TLVExtendedStyle> Styles)
    {
        for (auto s : Styles)
            m_Bits = static_cast<std::uint16_t>(m_Bits | (1u << s));
    }
    constexpr bool Has(TLVExtendedStyle S) const { return m_Bits & (1u << S); }
    constexpr void Include(TLVExtendedStyle S)
    {
        m_Bits = static_cast<std::uint16_t>(m_Bits | (1u << S));
    }
    constexpr std::uint16_t Bits() const { return m_Bits; }
    constexpr bool operator==(const TLVExtendedStyles&) const = default;

    Win::UINT ToPlatform() const;
    static TLVExtendedStyles FromPlatform(Win::UINT Bits);

private:
    std::uint16_t m_Bits = 0;
};

// How a virtual list's new item count is shown.
enum TLVItemCountFlag : unsigned char
{
    icfNoInvalidateAll,
    icfNoScroll
};

// A small set of enum members held in bits: member n is bit n, which is also its platform bit.
template <typename TMember> class TBitSet
{
public:
    constexpr TBitSet() = default;
    constexpr TBitSet(std::initializer_list<TMember> Members)
    {
        for (auto m : Members)
            Include(m);
    }
    constexpr bool Has(TMember M) const { return m_Bits & (1u << M); }
    constexpr void Include(TMember M) { m_Bits = static_cast<std::uint8_t>(m_Bits | (1u << M)); }
    constexpr bool operator==(const TBitSet&) const = default;
    constexpr Win::UINT ToPlatform() const { return m_Bits; }
    static constexpr TBitSet FromPlatform(Win::UINT Bits, Win::UINT Known)
    {
        TBitSet set;
        set.m_Bits = static_cast<std::uint8_t>(Bits & Known);
        return set;
    }

private:
    std::uint8_t m_Bits = 0;
};
using TLVItemCountFlags = TBitSet<TLVItemCountFlag>;

// The parts of an item that a virtual list asks its user for (the item record's mask bits).
enum TLVVMMaskItem : unsigned char
{
    vmiText,
    vmiImage,
    vmiParam,
    vmiState,
    vmiIndent
};
using TLVVMMaskItems = TBitSet<TLVVMMaskItem>;
constexpr Win::UINT kVMMaskBits = 0x1F;

// The extended level: extended styles, hover time and selection mark, sent to the list
// control whenever its window is created; header images per column; the column order.
class TCustomExtListView : public TCustomEnhListView
{
    Q_OBJECT
public:
    explicit TCustomExtListView(QWidget* Parent = nullptr);
    ~TCustomExtListView() override;
    std::string Version() const override { return "TdfsExtListView v3.55"; }

    // The extended styles: written to the window at once and at every creation, read from the
    // window while it exists.
    TLVExtendedStyles ExtendedStyles();
    void SetExtendedStyles(TLVExtendedStyles Value);
    // How long the pointer rests on a row before hot tracking selects it (-1: the default).
    int HoverTime();
    void SetHoverTime(int Value);
    // The row a shift-click selects from; written only, never read back.
    void SetSelectionMark(int Value);
    int SelectionMark() const { return m_SelectionMark; }
    // Whether the list demands a recent common controls library.
    bool RequireComCtlUpdate() const { return m_RequireComCtlUpdate; }
    // Stores the demand; demanding raises EELVOldComCtl when the library is older than 4.70.
    void SetRequireComCtlUpdate(bool Value);

    // The header image of each column; writing copies the entries into the list's own set.
    TdfsExtListColumns& ColumnsFormat() { return *m_ColumnsFormat; }
    void SetColumnsFormat(const TdfsExtListColumns& Value) { m_ColumnsFormat->Assign(Value); }
    void SetSmallImages(TImageList* Value) override;
    void SetShowSortArrows(bool Value) override;
    // Writes column Index's image settings into its header item, when the platform draws the
    // header; the owner-drawn header paints them itself.
    void ApplyColumnFormat(int Index);
    void ApplyColumnFormats();

    // The display order: entry p is the column shown at position p. Kept across window
    // re-creations.
    void SetColumnOrder(int Count, const int* Orders);
    bool GetColumnOrder(int Count, int* Orders);
    int PositionOfColumn(int ColumnIndex) override;
    TListColumn* ColumnAtPosition(int Position) override;

    // The cell text at a display position (Pos -1 is the leftmost column).
    void GetCellText(int ItemIndex, int Pos, std::string& Text) override;

    // A virtual list holds no items: it asks its user for what it shows. Switching the mode
    // makes the window anew.
    bool VirtualMode() const { return m_VirtualMode; }
    void SetVirtualMode(bool Value);
    // How many rows a virtual list has; the flags keep it from scrolling or repainting all.
    void SetVirtualItemCount(int Count, TLVItemCountFlags Flags = {});
    int VirtualItemCount() const { return m_VirtualItemCount; }

    using TLVMarqueeBeginEvent = std::function<void(QObject*, bool& CanBegin)>;
    using TLVHotTrackEvent = std::function<void(QObject*, int& ItemIndex, int SubItemIndex,
                                                QPoint Location, bool& AllowSelect)>;
    using TLVVMGetItemInfoEvent = std::function<void(
        QObject*, int Item, int SubItem, TLVVMMaskItems& Mask, int& Image, Win::LPARAM& Param,
        int& State, int& StateMask, int& Indent, std::string& Text)>;
    using TLVVMCacheHintEvent = std::function<void(QObject*, Win::NMLVCACHEHINT& HintInfo)>;
    using TLVVMFindItemEvent =
        std::function<void(QObject*, Win::NMLVFINDITEM& FindInfo, int& Found)>;
    using TLVVMStateChangedEvent = std::function<void(QObject*, Win::NMLVODSTATECHANGE& StateInfo)>;
    // A rubber band may start unless CanBegin is cleared.
    TLVMarqueeBeginEvent OnMarqueeBegin;
    // A row was activated (a double-click, Enter, or one click under the activation styles).
    std::function<void(QObject*)> OnItemActivate;
    // The pointer moves over a row under hot tracking: another row may be named hot, and
    // AllowSelect cleared to keep it from being selected by hovering.
    TLVHotTrackEvent OnHotTrack;
    // Virtual lists: a cell's text (and image, state, indent) as it is shown; the rows about
    // to be shown; the row a typed text names (Found, -1 for none); rows selected together.
    TLVVMGetItemInfoEvent OnVMGetItemInfo;
    TLVVMCacheHintEvent OnVMCacheHint;
    TLVVMFindItemEvent OnVMFindItem;
    TLVVMStateChangedEvent OnVMStateChanged;

    // What the list keeps between runs (widths, order, sort), and where.
    TdfsExtLVSaveSettings& SaveSettings()
    {
        return static_cast<TdfsExtLVSaveSettings&>(SaveSettingsObject());
    }
    bool SaveListSettings() override;
    bool LoadListSettings() override;

    void Loaded() override;

protected:
    virtual void MarqueeBegin(bool& CanBegin);
    virtual void ItemActivate();
    virtual void HotTrack(int& ItemIndex, int SubItemIndex, QPoint Location, bool& AllowSelect);
    virtual void VMGetItemInfo(Win::LVITEM& Item);
    virtual void VMCacheHint(Win::NMLVCACHEHINT& HintInfo);
    virtual void VMFindItem(Win::NMLVFINDITEM& FindInfo, int& Found);
    virtual void VMStateChanged(Win::NMLVODSTATECHANGE& StateInfo);

    void CreateParams(TCreateParams& Params) override;
    // Owner-drawn rows: the full-row flag follows the style, and a virtual list's rows are
    // painted cell by cell by the user's handler.
    void DrawItemHook(int Index, const Win::TRect& Rect, TOwnerDrawState State,
                      bool& DefaultDrawing, bool& FullRowSelect) override;
    void DefaultDrawItem(int Index, const Win::TRect& Rect, bool FullRowSelect,
                         TOwnerDrawState State) override;
    void DefaultDrawSubItem(int Index, int SubItem, TOwnerDrawState State,
                            const Win::TRect& Rect) override;
    void CreateWnd() override;
    Win::LRESULT CNNotify(Win::NMHDR& Header) override;
    Win::LRESULT WndProc(Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam) override;
    void DefaultDrawHeaderItem(TCanvas& ACanvas, int Index, const Win::TRect& ARect,
                               bool Selected) override
    {
        PaintHeaderItem(ACanvas, Index, ARect, Selected, true);
    }
    THeaderImage ColumnHeaderImage(int Index) const override;
    bool AutoLoadListSettings() override;
    void AutoSaveListSettings() override;

private:
    TLVExtendedStyles m_ExtendedStyles;
    std::unique_ptr<std::vector<int>> m_ColumnOrder; // the cache; its size is the count
    std::unique_ptr<TdfsExtListColumns> m_ColumnsFormat;
    bool m_VirtualMode = false;
    std::unique_ptr<TChangeLink> m_ImageChangeLink;
    int m_SelectionMark = -1;
    int m_HoverTime = -1;
    bool m_RequireComCtlUpdate = false;
    int m_VirtualItemCount = 0;
    TLVItemCountFlags m_VirtualItemCountFlags;
};

// The list that windows place.
class TdfsExtListView final : public TCustomExtListView
{
    Q_OBJECT
public:
    using TCustomExtListView::TCustomExtListView;
    ~TdfsExtListView() override;
};
