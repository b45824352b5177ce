#pragma once

#include "ListMessages.h"

#include <algorithm>
#include <vector>

namespace TestSupport {

// Stands in for a list control's owner: records the notifications it is sent, with the item
// and sub-item of each item notification.
struct TMessageSpy
{
    std::vector<int> Codes;
    std::vector<int> Items;
    std::vector<int> SubItems;
    Win::LRESULT operator()(Win::UINT Msg, Win::WPARAM, Win::LPARAM LParam)
    {
        if (Msg != Win::WM_NOTIFY)
            return 0;
        const auto* nm = reinterpret_cast<const Win::NMLISTVIEW*>(LParam);
        Codes.push_back(nm->hdr.code);
        if (nm->hdr.code != Win::HDN_ITEMCHANGEDA && nm->hdr.code != Win::HDN_ENDDRAG) {
            Items.push_back(nm->iItem);
            SubItems.push_back(nm->iSubItem);
        }
        return 0;
    }
    int Count(int Code) const { return int(std::count(Codes.begin(), Codes.end(), Code)); }
};

} // namespace TestSupport
