// The rows of a keyed sort that changed since it are placed again among the rows that did not,
// which stand in its order still.
#include "ListRowSort.h"

#include "ListRowCalls.h"

#include <algorithm>
#include <unordered_set>

using namespace Win;

namespace ListRowSort {

namespace {

// A row taken out to be placed again: its key, where it stood and where it goes.
struct TPlaced
{
    std::unique_ptr<TListRow> Row;
    LVSORTKEY Key;
    std::size_t From = 0;
    std::size_t To = 0;
};

// The moved rows come out, with their places and keys; the others close up, still in order.
std::vector<TPlaced> TakeOut(TRows& Rows, const std::vector<const TListRow*>& Moved,
                             const LVSORTKEYED& Sort)
{
    const std::unordered_set<const TListRow*> moved(Moved.begin(), Moved.end());
    std::vector<TPlaced> placed;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        if (moved.count(Rows[i].get()))
            placed.push_back({std::move(Rows[i]), {}, i, 0});
        else if (kept++ != i)
            Rows[kept - 1] = std::move(Rows[i]);
    }
    Rows.resize(kept);
    for (TPlaced& p : placed)
        KeySafely(Sort, *p.Row, p.Key);
    return placed;
}

// Each placed row's place among the kept rows, found by a binary search; equal rows keep the
// order they stood in, as in a stable sort.
void FindPlaces(const TRows& Kept, std::vector<TPlaced>& Placed, const LVSORTKEYED& Sort)
{
    auto before = [&](const TListRow& A, const LVSORTKEY& KeyA, const TListRow& B,
                      const LVSORTKEY& KeyB) { return KeyedBefore(Sort, A, KeyA, B, KeyB); };
    // Where a kept row stood before: its place now plus the moved rows that stood before it
    // (the places they were taken from, in order).
    std::vector<std::size_t> from;
    for (const TPlaced& p : Placed)
        from.push_back(p.From);
    auto stoodAt = [&](std::size_t Now) {
        std::size_t earlier = 0;
        while (earlier < from.size() && from[earlier] - earlier <= Now)
            ++earlier;
        return Now + earlier;
    };
    std::stable_sort(Placed.begin(), Placed.end(), [&](const TPlaced& A, const TPlaced& B) {
        return before(*A.Row, A.Key, *B.Row, B.Key);
    });
    std::size_t lowest = 0;
    for (TPlaced& p : Placed) {
        std::size_t lo = lowest;
        std::size_t hi = Kept.size();
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            const TListRow& row = *Kept[mid];
            LVSORTKEY key;
            KeySafely(Sort, row, key);
            const bool rowFirst = before(row, key, *p.Row, p.Key) ||
                                  (!before(*p.Row, p.Key, row, key) && stoodAt(mid) < p.From);
            if (rowFirst)
                lo = mid + 1;
            else
                hi = mid;
        }
        p.To = lowest = lo;
    }
}

// The placed rows go back in, the rows opened up from the back: only rows behind the first
// new place move.
void PutBack(TRows& Rows, std::vector<TPlaced>& Placed)
{
    const std::size_t kept = Rows.size();
    Rows.resize(kept + Placed.size());
    std::size_t write = Rows.size();
    std::size_t read = kept;
    for (std::size_t q = Placed.size(); q-- > 0;) {
        while (read > Placed[q].To)
            Rows[--write] = std::move(Rows[--read]);
        Rows[--write] = std::move(Placed[q].Row);
    }
}

} // namespace

void ByKeysAround(TRows& Rows, const std::vector<const TListRow*>& Moved, const LVSORTKEYED& Sort)
{
    if (Moved.empty())
        return;
    std::vector<TPlaced> placed = TakeOut(Rows, Moved, Sort);
    FindPlaces(Rows, placed, Sort);
    PutBack(Rows, placed);
}

} // namespace ListRowSort
