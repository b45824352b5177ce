#pragma once

#include "ListMessages.h"
#include "ListRow.h"
#include "ListRowKeys.h"
#include "LongArray.h"

#include <memory>
#include <vector>

// The list control's two sorts of its rows, both stable: by the owner's comparison, and by
// keys the owner prepares with the comparison deciding only where the keys cannot. A pair
// whose comparison throws counts as equal.
namespace ListRowSort {

using KeyOrder::TOrder;
using KeyOrder::TTies;

// A list's rows, in their order; a long list's in large pages.
using TRows = TLongArray<std::unique_ptr<TListRow>>;

// Moved, where given, gets where each row came from (row i stood at Moved[i]); it stays empty
// when no row moved.
void ByComparison(TRows& Rows, Win::PFNLVCOMPARE Compare, Win::LPARAM SortParam,
                  TOrder* Moved = nullptr);
TTies ByKeys(TRows& Rows, const Win::LVSORTKEYED& Sort, TOrder* Moved = nullptr);
// The rows put in Order: row i becomes the row that stood at Order[i].
void Move(TRows& Rows, const TOrder& Order);
// The same for rows that stand sorted by Sort but for the rows Moved: only those are placed.
void ByKeysAround(TRows& Rows, const std::vector<const TListRow*>& Moved,
                  const Win::LVSORTKEYED& Sort);
// Rows sorted by a keyed sort with ties Tied, put in the same order turned round without a
// comparison: equal rows keep their order. Tied becomes the ties of the new order.
void TurnRound(TRows& Rows, TTies& Tied);

} // namespace ListRowSort
