#pragma once

#include "ListMessages.h"
#include "ListRow.h"
#include "ListRowKeys.h"

// A row sort's calls to its sorter, safe against one that throws: a pair that cannot be
// compared counts as equal, and a row whose key cannot be made is marked so, for the
// comparison to place.
namespace ListRowSort {

inline int CompareSafely(Win::PFNLVCOMPARE Compare, Win::LPARAM A, Win::LPARAM B,
                         Win::LPARAM SortParam)
{
    try {
        return Compare(A, B, SortParam);
    } catch (...) {
        return 0;
    }
}

// The comparison on the worker given, where the sorter compares on two threads.
inline int WorkerCompareSafely(const Win::LVSORTKEYED& Sort, Win::LPARAM A, Win::LPARAM B,
                               int Worker)
{
    try {
        return Sort.WorkerCompare(A, B, Sort.SortParam, Worker);
    } catch (...) {
        return 0;
    }
}

inline bool Less(Win::PFNLVCOMPARE Compare, Win::LPARAM A, Win::LPARAM B, Win::LPARAM SortParam)
{
    return CompareSafely(Compare, A, B, SortParam) < 0;
}

// A row's key, by the worker given where the sorter makes keys on two threads.
inline void KeySafely(const Win::LVSORTKEYED& Sort, const TListRow& Row, Win::LVSORTKEY& Key,
                      int Worker = -1)
{
    try {
        if (Worker < 0)
            Sort.Key(Row.Param(), Sort.SortParam, Key);
        else
            Sort.WorkerKey(Row.Param(), Sort.SortParam, Worker, Key);
    } catch (...) {
        Key = Win::LVSORTKEY();
        Key.Failed = true;
    }
}

// Whether row A goes before row B by the comparison of a keyed sort, on the worker given where
// the sorter compares on two threads.
inline bool ComparedBefore(const Win::LVSORTKEYED& Sort, const TListRow& A, const TListRow& B,
                           int Worker)
{
    if (Worker >= 0 && Sort.WorkerCompare)
        return WorkerCompareSafely(Sort, A.Param(), B.Param(), Worker) < 0;
    return Less(Sort.Compare, A.Param(), B.Param(), Sort.SortParam);
}

// Whether row A goes before row B in a keyed sort: by their keys, else by the comparison.
inline bool KeyedBefore(const Win::LVSORTKEYED& Sort, const TListRow& A, const Win::LVSORTKEY& KeyA,
                        const TListRow& B, const Win::LVSORTKEY& KeyB, int Worker = -1)
{
    const int k = KeyOrder::ByKey(KeyA, KeyB);
    if (k != 2)
        return Sort.Descending ? k > 0 : k < 0;
    return ComparedBefore(Sort, A, B, Worker);
}

} // namespace ListRowSort
