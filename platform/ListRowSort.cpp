#include "ListRowSort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace Win;

namespace ListRowSort {

namespace {

bool Less(PFNLVCOMPARE Compare, LPARAM A, LPARAM B, LPARAM SortParam)
{
    try {
        return Compare(A, B, SortParam) < 0;
    } catch (...) {
        return false; // a pair that cannot be compared counts as equal
    }
}

} // namespace

void ByComparison(TRows& Rows, PFNLVCOMPARE Compare, LPARAM SortParam)
{
    std::stable_sort(Rows.begin(), Rows.end(),
                     [&](const std::unique_ptr<TListRow>& a, const std::unique_ptr<TListRow>& b) {
                         return Less(Compare, a->Param, b->Param, SortParam);
                     });
}

void ByKeys(TRows& Rows, const LVSORTKEYED& Sort)
{
    // Sorting the keys decides most comparisons without touching the rows; the rows
    // themselves move only once everything has been sorted.
    struct TEntry
    {
        LVSORTKEY Key;
        std::uint32_t Index;
        const TListRow* Row;
    };
    std::vector<TEntry> entries;
    entries.reserve(Rows.size());
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        LVSORTKEY key;
        try {
            Sort.Key(Rows[i]->Param, Sort.SortParam, key);
        } catch (...) {
            key = LVSORTKEY(); // incomplete: the comparison decides
        }
        entries.push_back({key, static_cast<std::uint32_t>(i), Rows[i].get()});
    }
    // -1, 0, +1 by the keys alone, in ascending order; 2 when they cannot tell.
    auto byKey = [](const LVSORTKEY& a, const LVSORTKEY& b) {
        if (a.Prefix != b.Prefix)
            return a.Prefix < b.Prefix ? -1 : 1;
        if (a.Prefix2 != b.Prefix2)
            return a.Prefix2 < b.Prefix2 ? -1 : 1;
        const std::size_t n = std::min(a.Size, b.Size);
        const int c = n ? std::memcmp(a.Bytes, b.Bytes, n) : 0;
        if (c != 0)
            return c < 0 ? -1 : 1;
        if (a.Size != b.Size)
            return a.Size < b.Size ? -1 : 1;
        return a.Complete && b.Complete ? 0 : 2;
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
        const int k = byKey(a.Key, b.Key);
        if (k != 2)
            return Sort.Descending ? k > 0 : k < 0;
        return Less(Sort.Compare, a.Row->Param, b.Row->Param, Sort.SortParam);
    });
    std::vector<std::unique_ptr<TListRow>> sorted;
    sorted.reserve(Rows.size());
    for (const TEntry& e : entries)
        sorted.push_back(std::move(Rows[e.Index]));
    Rows.swap(sorted);
}

} // namespace ListRowSort
