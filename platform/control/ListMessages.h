#pragma once

#include <QRect>

#include <cstddef>
#include <cstdint>

class QPainter;

// The numbers and records by which the report list control and its header are driven.
namespace Win {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = std::uint32_t;
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_USER = 0x0400;

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEMA = LVM_FIRST + 5;
constexpr UINT LVM_SETITEMA = LVM_FIRST + 6;
constexpr UINT LVM_INSERTITEMA = LVM_FIRST + 7;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_GETCOLUMNA = LVM_FIRST + 25;
constexpr UINT LVM_SETCOLUMNA = LVM_FIRST + 26;
constexpr UINT LVM_INSERTCOLUMNA = LVM_FIRST + 27;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_GETITEMTEXTA = LVM_FIRST + 45;
constexpr UINT LVM_SETITEMTEXTA = LVM_FIRST + 46;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
constexpr UINT LVM_SETCOLUMNORDERARRAY = LVM_FIRST + 58;
constexpr UINT LVM_GETCOLUMNORDERARRAY = LVM_FIRST + 59;
constexpr UINT LVM_SETSELECTIONMARK = LVM_FIRST + 67;
constexpr UINT LVM_SETHOVERTIME = LVM_FIRST + 71;
constexpr UINT LVM_GETHOVERTIME = LVM_FIRST + 72;

// Our own: the sort message with a 64-bit key prefix per row (LVSORTKEYED in lParam).
constexpr UINT LVM_SORTITEMSKEYED = LVM_FIRST + 0xF0;

constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMA = HDM_FIRST + 3;
constexpr UINT HDM_SETITEMA = HDM_FIRST + 4;

constexpr int NM_CLICK = -2;
constexpr int NM_DBLCLK = -3;
constexpr int LVN_ITEMCHANGED = -101;
constexpr int LVN_INSERTITEM = -102;
constexpr int LVN_DELETEITEM = -103;
constexpr int LVN_DELETEALLITEMS = -104;
constexpr int LVN_BEGINLABELEDITA = -105;
constexpr int LVN_ENDLABELEDITA = -106;
constexpr int LVN_COLUMNCLICK = -108;
constexpr int LVN_ITEMACTIVATE = -114;
constexpr int LVN_HOTTRACK = -121;
constexpr int LVN_ODCACHEHINT = -113;
constexpr int LVN_ODSTATECHANGED = -115;
constexpr int LVN_ODFINDITEMA = -152;
constexpr int LVN_MARQUEEBEGIN = -156;
constexpr int LVN_GETDISPINFOA = -150;
constexpr int HDN_ITEMCHANGEDA = -301;
constexpr int HDN_ITEMCLICKA = -302;
constexpr int HDN_DIVIDERDBLCLICKA = -305;
constexpr int HDN_BEGINTRACKA = -306;
constexpr int HDN_ENDTRACKA = -307;
constexpr int HDN_ENDDRAG = -311;

constexpr UINT LVCF_FMT = 0x1;
constexpr UINT LVCF_WIDTH = 0x2;
constexpr UINT LVCF_TEXT = 0x4;
constexpr UINT LVCF_SUBITEM = 0x8;
constexpr UINT LVCF_IMAGE = 0x10;
constexpr UINT LVCF_ORDER = 0x20;
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
constexpr int LVCFMT_JUSTIFYMASK = 3;
constexpr int LVCFMT_IMAGE = 0x800;
constexpr int LVCFMT_BITMAP_ON_RIGHT = 0x1000;
// Image lists of a list control (LVM_SETIMAGELIST wParam); lParam is the TImageList.
constexpr WPARAM LVSIL_NORMAL = 0;
constexpr WPARAM LVSIL_SMALL = 1;
constexpr WPARAM LVSIL_STATE = 2;
constexpr int LVSCW_AUTOSIZE = -1;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

constexpr UINT LVIF_TEXT = 0x1;
constexpr UINT LVIF_IMAGE = 0x2;
constexpr UINT LVIF_PARAM = 0x4;
constexpr UINT LVIF_STATE = 0x8;
constexpr UINT LVIF_INDENT = 0x10;
constexpr UINT LVIS_FOCUSED = 0x1;
constexpr UINT LVIS_SELECTED = 0x2;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
// The overlay image of a row: 1 to 4 name overlay slots 0 to 3; 0 none.
constexpr UINT INDEXTOOVERLAYMASK(UINT Index)
{
    return Index << 8;
}
// The state image of a row with a check box: 1 unchecked, 2 checked.
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT Index)
{
    return Index << 12;
}
// LVM_SETITEMCOUNT flags of an owner-data list.
constexpr UINT LVSICF_NOINVALIDATEALL = 0x1;
constexpr UINT LVSICF_NOSCROLL = 0x2;
// What an LVFINDINFO searches by.
constexpr UINT LVFI_PARAM = 0x1;
constexpr UINT LVFI_STRING = 0x2;
constexpr UINT LVFI_PARTIAL = 0x8;
constexpr UINT LVFI_WRAP = 0x20;
constexpr UINT LVKF_ALT = 0x1;
constexpr UINT LVKF_CONTROL = 0x2;
constexpr UINT LVKF_SHIFT = 0x4;
constexpr UINT LVNI_ALL = 0x0;
constexpr UINT LVNI_FOCUSED = 0x1;
constexpr UINT LVNI_SELECTED = 0x2;

constexpr UINT WM_DESTROY = 0x0002;
// Window styles of the list control.
constexpr UINT LVS_REPORT = 0x1;
constexpr UINT LVS_SINGLESEL = 0x4;
constexpr UINT LVS_OWNERDRAWFIXED = 0x400;
constexpr UINT LVS_SHAREIMAGELISTS = 0x40;
constexpr UINT LVS_OWNERDATA = 0x1000;

constexpr UINT LVS_EX_GRIDLINES = 0x1;
constexpr UINT LVS_EX_SUBITEMIMAGES = 0x2;
constexpr UINT LVS_EX_CHECKBOXES = 0x4;
constexpr UINT LVS_EX_TRACKSELECT = 0x8;
constexpr UINT LVS_EX_HEADERDRAGDROP = 0x10;
constexpr UINT LVS_EX_FULLROWSELECT = 0x20;
constexpr UINT LVS_EX_ONECLICKACTIVATE = 0x40;
constexpr UINT LVS_EX_TWOCLICKACTIVATE = 0x80;
constexpr UINT LVS_EX_FLATSB = 0x100;
constexpr UINT LVS_EX_UNDERLINEHOT = 0x800;
constexpr UINT LVS_EX_UNDERLINECOLD = 0x1000;

constexpr UINT HDI_WIDTH = 0x1;
constexpr UINT HDI_TEXT = 0x2;
constexpr UINT HDI_FORMAT = 0x4;
constexpr UINT HDI_IMAGE = 0x20;
constexpr int HDF_LEFT = 0;
constexpr int HDF_RIGHT = 1;
constexpr int HDF_CENTER = 2;
constexpr int HDF_IMAGE = 0x800;
constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;
constexpr int HDF_STRING = 0x4000;
constexpr int HDF_OWNERDRAW = 0x8000;

constexpr UINT ODT_HEADER = 100;
constexpr UINT ODT_LISTVIEW = 102;
constexpr UINT ODS_SELECTED = 0x1;
constexpr UINT ODS_FOCUS = 0x10;

struct POINT
{
    int x = 0;
    int y = 0;
};

struct NMHDR
{
    void* hwndFrom = nullptr;
    WPARAM idFrom = 0;
    int code = 0;
};

// Texts are Windows-1250 bytes; pszText/cchTextMax follow the platform's rules (zero-ended).
struct LVCOLUMN
{
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct LVITEM
{
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
    int iIndent = 0;
};

struct NMLISTVIEW
{
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
};

struct NMITEMACTIVATE
{
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction;
    LPARAM lParam = 0;
    UINT uKeyFlags = 0;
};

struct LVDISPINFO
{
    NMHDR hdr;
    LVITEM item;
};

struct HDITEM
{
    UINT mask = 0;
    int cxy = 0;
    char* pszText = nullptr;
    void* hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct NMHEADER
{
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEM* pitem = nullptr;
};

// The key of one row for LVM_SORTITEMSKEYED: Prefix, then Bytes, order rows as Compare would
// wherever they differ. Complete: equal keys mean Compare would say equal too.
struct LVSORTKEY
{
    std::uint64_t Prefix = 0;
    std::uint64_t Prefix2 = 0;   // compared after Prefix, before Bytes
    const char* Bytes = nullptr; // stays valid for the sort
    std::uint32_t Size = 0;      // a row's key of a million rows': kept small
    bool Complete = false;
    bool Failed = false; // no key could be made: the comparison alone places the row
};

// A sort in which each row's key is asked for once; only rows whose keys cannot tell them
// apart go to Compare. Descending reverses the key order (Compare carries its own sign).
struct LVSORTKEYED
{
    PFNLVCOMPARE Compare = nullptr;
    LPARAM SortParam = 0;
    void (*Key)(LPARAM Item, LPARAM SortParam, LVSORTKEY& Key) = nullptr;
    // Optional: the same keys, asked for on two threads at once where a list is long. Worker
    // is 0 on the thread that sorts and 1 on the other; no row is asked for twice. Key is
    // still asked where one thread does.
    void (*WorkerKey)(LPARAM Item, LPARAM SortParam, int Worker, LVSORTKEY& Key) = nullptr;
    // Optional: Compare asked on two threads at once (Worker as for WorkerKey), where a long
    // list is checked for standing in the sort's order already.
    int (*WorkerCompare)(LPARAM A, LPARAM B, LPARAM SortParam, int Worker) = nullptr;
    // Optional: a row's key read sixteen bytes at a time, as two big-endian numbers, from where
    // State says (0: the key's beginning; the call moves it past the bytes read), only as far
    // as the sort needs it: no key is then kept whole, and keys that rows share are not looked
    // for. Bytes past the key's end are 0, which no key byte may be; rows whose keys end equal
    // go to Compare. May be asked on two threads at once. False where a row has no such key:
    // the sort then asks Key for every row.
    bool (*KeyWords)(LPARAM Item, LPARAM SortParam, std::uint32_t& State, std::uint64_t& Word,
                     std::uint64_t& Word2) = nullptr;
    bool Descending = false;
    // Names the order of the keys, whichever the direction; 0 names none. Asking again for
    // the order of the last keyed sort lets the control move only the rows added or changed
    // since, or turn the rows round when only the direction changed; so a sorter that names
    // its order must make keys from the rows' texts alone, and Compare must turn round with
    // Descending.
    std::uint64_t Order = 0;
};

// The rows an owner-data list is about to show (LVN_ODCACHEHINT).
struct NMLVCACHEHINT
{
    NMHDR hdr;
    int iFrom = 0;
    int iTo = 0;
};

struct LVFINDINFO
{
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
    POINT pt;
    UINT vkDirection = 0;
};

// An owner-data list asks its owner to find a row (LVN_ODFINDITEMA); the answer is the row.
struct NMLVFINDITEM
{
    NMHDR hdr;
    int iStart = -1;
    LVFINDINFO lvfi;
};

// A range of rows of an owner-data list changed state together (LVN_ODSTATECHANGED).
struct NMLVODSTATECHANGE
{
    NMHDR hdr;
    int iFrom = 0;
    int iTo = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
};

// The row height of an owner-drawn list, asked once when its window is made.
struct MEASUREITEMSTRUCT
{
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    std::uintptr_t itemData = 0;
};

// hDC is the painter bound to the header item while it is painted.
struct DRAWITEMSTRUCT
{
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    void* hwndItem = nullptr;
    QPainter* hDC = nullptr;
    QRect rcItem;
    std::uintptr_t itemData = 0;
};

} // namespace Win
