#pragma once

#include "ListView.h"

#include <vector>

namespace TestSupport {

// Records the messages a list sends its control, with a copy of each column record set.
struct TControlTraffic
{
    struct TSent
    {
        Win::UINT Msg;
        Win::WPARAM WParam;
        Win::LPARAM LParam;
    };
    struct TColumnSet
    {
        int Index;
        Win::LVCOLUMN Column;
    };

    std::vector<TSent> Sent;
    std::vector<TColumnSet> ColumnsSet;

    explicit TControlTraffic(TCustomListView& List)
    {
        List.Control().SetMessageTap([this](Win::UINT Msg, Win::WPARAM W, Win::LPARAM L) {
            Sent.push_back({Msg, W, L});
            if (Msg == Win::LVM_SETCOLUMNA && L)
                ColumnsSet.push_back({int(W), *reinterpret_cast<const Win::LVCOLUMN*>(L)});
        });
    }
    std::vector<TSent> Of(Win::UINT Msg) const
    {
        std::vector<TSent> found;
        for (const TSent& s : Sent)
            if (s.Msg == Msg)
                found.push_back(s);
        return found;
    }
    std::vector<int> ColumnsWritten() const
    {
        std::vector<int> indexes;
        for (const TColumnSet& c : ColumnsSet)
            indexes.push_back(c.Index);
        return indexes;
    }
};

} // namespace TestSupport
