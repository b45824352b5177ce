#pragma once

#include "ListMessages.h"
#include "Locale.h"
#include "SortKeyMemo.h"
#include "SortStyle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TListItem;
class TListItems;
class TSortKeyCache;

// One list's built-in sort: the cells it prepares (their collation keys and, for the smart
// comparison, their date and number readings), the keys it gives the control's keyed sort,
// and the settings they were made under. It travels with its list; only the direction and the
// column of the running sort are process-wide, for the comparison callbacks.
class TBuiltInSort
{
public:
    TBuiltInSort();
    ~TBuiltInSort();
    TBuiltInSort(const TBuiltInSort&) = delete;
    TBuiltInSort& operator=(const TBuiltInSort&) = delete;

    // A sort of this list runs: another must not start from inside its comparisons.
    bool Running() const { return m_Running; }
    void SetRunning(bool Running);

    // Before a sort by sub-item SubItem in Style: cells made under other settings are made
    // again, and what decides pairs is found (a text, number or date prefix, or nothing but
    // the comparison).
    void Prepare(TAutoSortStyle Style, int SubItem, const TListItems& Items);
    // Whether the prepared keys decide pairs, so that the control may sort by keys.
    bool Keyed() const { return m_Prefix != pkNone; }
    // Whether keys may be made on a second thread (the plain comparison only).
    bool TwoThreads();
    // Names the order a keyed sort gives: the same settings and column give the same order.
    std::uint64_t Order() const;

    // Whether the running sort's keys may be read in words (KeyWords), on either thread.
    bool ReadsKeyWords() const { return m_FirstLevel; }
    // Sixteen bytes of a row's first-level key from State on (LVSORTKEYED::KeyWords); false
    // without a row.
    bool KeyWords(const TListItem* Item, std::uint32_t& State, std::uint64_t& Word,
                  std::uint64_t& Word2) const;
    // A row's key for the control's keyed sort, on the sorting thread or on the second one.
    void Key(const TListItem* Item, Win::LVSORTKEY& Key);
    void WorkerKey(const TListItem* Item, Win::LVSORTKEY& Key);
    // The comparison of two rows' cells of sub-item SubItem with sign +1: their prepared
    // cells where both have one, else their texts.
    int Compare(const TListItem& A, const TListItem& B, int SubItem, TAutoSortStyle Style) const;
    // The same comparison on either thread of a sort by the plain comparison (TwoThreads),
    // worker 0 being the calling thread: each under a copy of the collation of its own.
    int WorkerCompare(const TListItem& A, const TListItem& B, int SubItem, int Worker);
    // The comparison of two texts under a style, with sign +1.
    static int CompareTexts(std::string_view Left, std::string_view Right, TAutoSortStyle Style);

private:
    enum TPrefixKind
    {
        pkNone,
        pkText,
        pkNumber,
        pkDate
    };

    std::unique_ptr<TSortKeyCache> Make(std::string_view Text);
    const TSortKeyCache* CacheOf(const TListItem& Item, int SubItem) const;
    const TSortKeyCache& PreparedCell(const TListItem& Item);
    void FindPrefix(const TListItems& Items);
    bool FirstLevelPays(const TListItems& Items) const;

    TAutoSortStyle m_Style = assSmart;
    int m_SubItem = -1;
    Locale::TDateSettings m_Settings;
    int m_CurrentYear = 2000;
    // What a prepared cell depends on, bar the column: the collation and date settings (both
    // follow the locale), the year for dates without one, and the comparison.
    std::uint64_t m_Setting = 0;
    // Counts the changes of m_Setting, for naming orders.
    std::uint32_t m_Stamp = 0;
    TPrefixKind m_Prefix = pkNone;
    bool m_Running = false;
    // Lists this long are worth what their sorts make once per locale (the collation's cut
    // and first-level ranks), to be won back on their many comparisons and keys.
    static constexpr int kLongList = 65536;
    // The running sort's keys are of the collation's first level alone (FirstLevelPays).
    bool m_FirstLevel = false;
    const TPrimaryRanks* m_Ranks = nullptr; // the first level's, while m_FirstLevel
    TSortKeyMemo m_KeyMemo;
    // The memo of the second thread that makes keys, with a collation of its own.
    TSortKeyMemo m_HelperKeyMemo;
    // Rows without any text share one prepared empty cell per sort.
    std::unique_ptr<TSortKeyCache> m_EmptyCell;
    std::string m_KeyRoom; // a prepared cell's key bytes on their way, its room kept
};
