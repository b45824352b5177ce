#include "ExtListView.h"

#include "FileVersion.h"

#include <vector>

using namespace Win;

namespace {
// Platform bit of each member, in member order; 0x200 and 0x400 have no member.
constexpr UINT kStyleBits[] = {
    LVS_EX_GRIDLINES,      LVS_EX_SUBITEMIMAGES, LVS_EX_CHECKBOXES,       LVS_EX_TRACKSELECT,
    LVS_EX_HEADERDRAGDROP, LVS_EX_FULLROWSELECT, LVS_EX_ONECLICKACTIVATE, LVS_EX_TWOCLICKACTIVATE,
    LVS_EX_FLATSB,         LVS_EX_UNDERLINEHOT,  LVS_EX_UNDERLINECOLD};
} // namespace

UINT TLVExtendedStyles::ToPlatform() const
{
    UINT bits = 0;
    for (unsigned i = 0; i < std::size(kStyleBits); ++i)
        if (m_Bits & (1u << i))
            bits |= kStyleBits[i];
    return bits;
}

TLVExtendedStyles TLVExtendedStyles::FromPlatform(UINT Bits)
{
    TLVExtendedStyles set;
    for (unsigned i = 0; i < std::size(kStyleBits); ++i)
        if (Bits & kStyleBits[i])
            set.Include(static_cast<TLVExtendedStyle>(i));
    return set;
}

TCustomExtListView::TCustomExtListView(QWidget* Parent)
    : TCustomEnhListView(Parent),
      m_ColumnsFormat(std::make_unique<TdfsExtListColumns>(
          this,
          [this](int Index) { Index < 0 ? ApplyColumnFormats() : ApplyColumnFormat(Index); })),
      m_ImageChangeLink(std::make_unique<TChangeLink>())
{
    m_SaveSettings = std::make_unique<TdfsExtLVSaveSettings>();
    m_ImageChangeLink->OnChange = [this] { ApplyColumnFormats(); };
}

TCustomExtListView::~TCustomExtListView()
{
    m_ColumnsFormat.reset();
    m_ImageChangeLink.reset();
    m_ColumnOrder.reset();
}

TLVExtendedStyles TCustomExtListView::ExtendedStyles()
{
    if (HandleAllocated())
        m_ExtendedStyles = TLVExtendedStyles::FromPlatform(
            static_cast<UINT>(Perform(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    return m_ExtendedStyles;
}

void TCustomExtListView::SetExtendedStyles(TLVExtendedStyles Value)
{
    if (Value.Has(lvxUnderlineCold) && !Value.Has(lvxOneClickActivate))
        Value.Include(lvxOneClickActivate);
    if (Value.Has(lvxUnderlineHot) && !Value.Has(lvxOneClickActivate) &&
        !Value.Has(lvxTwoClickActivate))
        Value.Include(lvxOneClickActivate);
    if (Value.Has(lvxSubItemImages) != m_ExtendedStyles.Has(lvxSubItemImages) && HandleAllocated())
        Control().View()->viewport()->update();
    m_ExtendedStyles = Value;
    if (HandleAllocated())
        Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(Value.ToPlatform()));
}

int TCustomExtListView::HoverTime()
{
    if (HandleAllocated())
        m_HoverTime = static_cast<int>(Perform(LVM_GETHOVERTIME, 0, 0));
    return m_HoverTime;
}

void TCustomExtListView::SetHoverTime(int Value)
{
    m_HoverTime = Value;
    if (HandleAllocated())
        Perform(LVM_SETHOVERTIME, 0, Value);
}

void TCustomExtListView::SetSelectionMark(int Value)
{
    m_SelectionMark = Value;
    if (HandleAllocated())
        Perform(LVM_SETSELECTIONMARK, 0, Value);
}

void TCustomExtListView::CreateWnd()
{
    TCustomEnhListView::CreateWnd();
    SetSelectionMark(m_SelectionMark);
    SetHoverTime(m_HoverTime);
    SetExtendedStyles(m_ExtendedStyles);
    if (m_VirtualMode && m_VirtualItemCount > 0)
        SetVirtualItemCount(m_VirtualItemCount, m_VirtualItemCountFlags);
    if (m_ColumnOrder) {
        Perform(LVM_SETCOLUMNORDERARRAY, WPARAM(m_ColumnOrder->size()),
                reinterpret_cast<LPARAM>(m_ColumnOrder->data()));
        Control().update();
    }
}

void TCustomExtListView::Loaded()
{
    TCustomEnhListView::Loaded();
    HandleNeeded();
    ApplyColumnFormats();
}

bool CheckDLLVersion(const std::string& FileName, std::uint16_t Major, std::uint16_t Minor,
                     std::uint16_t Release, std::uint16_t Build)
{
    std::uint32_t handle = 0;
    const std::uint32_t size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<unsigned char> buffer(size); // released on every path
    void* fixed = nullptr;
    unsigned length = 0;
    if (!GetFileVersionInfoA(FileName.c_str(), 0, size, buffer.data()) ||
        !VerQueryValueA(buffer.data(), "\\", &fixed, &length) || !fixed)
        return false;
    const auto& info = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
    const std::uint16_t have[] = {
        std::uint16_t(info.dwFileVersionMS >> 16), std::uint16_t(info.dwFileVersionMS & 0xFFFF),
        std::uint16_t(info.dwFileVersionLS >> 16), std::uint16_t(info.dwFileVersionLS & 0xFFFF)};
    const std::uint16_t want[] = {Major, Minor, Release, Build};
    for (int i = 0; i < 4; ++i)
        if (have[i] != want[i])
            return have[i] > want[i];
    return true;
}

void TCustomExtListView::SetRequireComCtlUpdate(bool Value)
{
    m_RequireComCtlUpdate = Value;
    if (Value && !CheckDLLVersion("COMCTL32.DLL", 4, 70, 0, 0))
        throw EELVOldComCtl("COMCTL32.DLL is older than required version");
}
