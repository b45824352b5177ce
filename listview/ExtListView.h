#pragma once

#include "EnhListView.h"
#include "ExtListColumns.h"
#include "ImageList.h"

#include <cstdint>
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

// The extended level: extended styles, hover time and selection mark, sent to the list
// control whenever its window is created; header images per column; the column order.
class TCustomExtListView : public TCustomEnhListView
{
    Q_OBJECT
public:
    explicit TCustomExtListView(QWidget* Parent = nullptr);
    ~TCustomExtListView() override;
    std::string Version() const override { return "TdfsExtListView v3.55"; }

    TLVExtendedStyles ExtendedStyles();
    void SetExtendedStyles(TLVExtendedStyles Value);
    int HoverTime();
    void SetHoverTime(int Value);
    void SetSelectionMark(int Value);
    int SelectionMark() const { return m_SelectionMark; }
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

    TdfsExtLVSaveSettings& SaveSettings()
    {
        return static_cast<TdfsExtLVSaveSettings&>(SaveSettingsObject());
    }
    bool SaveListSettings() override;
    bool LoadListSettings() override;

    void Loaded() override;

protected:
    void CreateWnd() override;
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
    std::unique_ptr<TChangeLink> m_ImageChangeLink;
    int m_SelectionMark = -1;
    int m_HoverTime = -1;
    bool m_RequireComCtlUpdate = false;
};

// The list that windows place.
class TdfsExtListView final : public TCustomExtListView
{
    Q_OBJECT
public:
    using TCustomExtListView::TCustomExtListView;
    ~TdfsExtListView() override;
};
