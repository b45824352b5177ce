#include "ListStyleMessages.h"

#include "ListWindow.h"

using namespace Win;

namespace ListStyleMessages {

std::optional<LRESULT> Handle(TListWindow& Control, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        // A zero mask changes every bit.
        const UINT old = Control.ExtendedStyle();
        const UINT mask = WParam == 0 ? ~UINT(0) : static_cast<UINT>(WParam);
        Control.ApplyExtendedStyle((old & ~mask) | (static_cast<UINT>(LParam) & mask));
        return static_cast<LRESULT>(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return static_cast<LRESULT>(Control.ExtendedStyle());
    case LVM_SETHOVERTIME: {
        const int old = Control.HoverTime();
        Control.SetHoverTime(static_cast<int>(LParam));
        return old;
    }
    case LVM_GETHOVERTIME:
        return Control.HoverTime();
    case LVM_SETSELECTIONMARK: {
        const int old = Control.SelectionMark();
        Control.SetSelectionMark(static_cast<int>(LParam));
        return old;
    }
    case LVM_SETIMAGELIST:
        return reinterpret_cast<LRESULT>(
            Control.SetImageList(WParam, reinterpret_cast<TImageList*>(LParam)));
    case LVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(Control.ImageList(WParam));
    case LVM_SETITEMCOUNT:
        Control.SetVirtualCount(static_cast<int>(WParam));
        return 1;
    default:
        return std::nullopt;
    }
}

} // namespace ListStyleMessages
