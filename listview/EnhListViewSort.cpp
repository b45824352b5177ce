// The sorting level's built-in sort: each cell's comparison key made once per sort (kept with
// the row's texts where the smart comparison needs its readings), a key prefix for the
// control's keyed sort, and the comparisons.
#include "EnhListView.h"

#include "Locale.h"
#include "SortKeyMemo.h"
#include "SortValues.h"

#include <QDate>

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <typeinfo>

using namespace Win;

namespace {

// The running sort: set immediately before the control is asked to sort.
enum TPrefixKind
{
    pkNone,
    pkText,
    pkNumber,
    pkDate
};

struct TSortContext
{
    int Sign = 1;
    TPrefixKind Prefix = pkNone;
    int SubItem = -1;
    bool Running = false;
    TAutoSortStyle Style = assSmart;
    Locale::TDateSettings Settings;
    int CurrentYear = 2000;
    int Generation = 0;
    // Changes whenever anything a prepared cell depends on changes, bar the column.
    std::uint32_t Stamp = 0;
};
TSortContext g_Sort;

// What the built-in comparison needs of one cell, kept with the row's texts until they change.
// One allocation holds it all: the header, the date and number readings for the smart
// comparison only, then the collation key bytes. A million rows keep a million of these, and
// a sort reads each once.
class TSortKeyCache final : public TRowTextCache
{
    struct TReadings
    {
        double Date = 0;
        long double Number = 0;
    };

public:
    static std::unique_ptr<TSortKeyCache> Make(const std::string& Key, TAutoSortStyle Style)
    {
        void* place = ::operator new(KeyAt(Style) + Key.size());
        auto* cache = new (place) TSortKeyCache(static_cast<std::uint32_t>(Key.size()), Style);
        if (Style == assSmart)
            new (cache->Readings()) TReadings();
        std::memcpy(cache->KeyBytes(), Key.data(), Key.size());
        return std::unique_ptr<TSortKeyCache>(cache);
    }
    static void operator delete(void* Place) { ::operator delete(Place); }

    bool Fits(const TSortContext& C) const { return Stamp == C.Stamp && SubItem == C.SubItem; }
    void Fill(std::string_view Text, const TSortContext& C)
    {
        Stamp = C.Stamp;
        SubItem = static_cast<std::int16_t>(C.SubItem);
        if (TReadings* readings = Readings()) {
            IsDate = SortValues::TryDateTime(Text, C.Settings, C.CurrentYear, readings->Date);
            IsNumber = SortValues::TryNumber(Text, readings->Number);
        }
    }
    std::string_view Key() const { return {KeyBytes(), m_KeySize}; }
    double Date() const { return Style == assSmart ? Readings()->Date : 0; }
    long double Number() const { return Style == assSmart ? Readings()->Number : 0; }

    std::uint32_t Stamp = 0;
    std::int16_t SubItem = 0;
    const TAutoSortStyle Style;
    bool IsDate = false;
    bool IsNumber = false;

private:
    TSortKeyCache(std::uint32_t KeySize, TAutoSortStyle Kind) : Style(Kind), m_KeySize(KeySize) {}
    // The readings follow the header at the next place aligned for them; the key follows
    // them, or the header itself where there are none.
    static constexpr std::size_t ReadingsAt()
    {
        return (sizeof(TSortKeyCache) + alignof(TReadings) - 1) / alignof(TReadings) *
               alignof(TReadings);
    }
    static constexpr std::size_t KeyAt(TAutoSortStyle Style)
    {
        return Style == assSmart ? ReadingsAt() + sizeof(TReadings) : sizeof(TSortKeyCache);
    }
    TReadings* Readings()
    {
        return Style == assSmart
                   ? reinterpret_cast<TReadings*>(reinterpret_cast<char*>(this) + ReadingsAt())
                   : nullptr;
    }
    const TReadings* Readings() const { return const_cast<TSortKeyCache*>(this)->Readings(); }
    char* KeyBytes() { return reinterpret_cast<char*>(this) + KeyAt(Style); }
    const char* KeyBytes() const { return reinterpret_cast<const char*>(this) + KeyAt(Style); }

    std::uint32_t m_KeySize;
};

TSortKeyMemo g_KeyMemo;
// The memo of the second thread that makes keys, with a collation of its own.
TSortKeyMemo g_HelperKeyMemo;

void ResetKeyMemos()
{
    g_KeyMemo.Reset();
    g_HelperKeyMemo.Reset();
}

// A prepared cell made now: the key bytes go through one buffer that keeps its room.
std::unique_ptr<TSortKeyCache> Prepare(std::string_view Text, const TSortContext& C)
{
    static std::string key;
    g_KeyMemo.KeyOf(Text, key);
    auto cache = TSortKeyCache::Make(key, C.Style);
    cache->Fill(Text, C);
    return cache;
}

std::string_view CellOf(const TRowText& Text, int SubItem)
{
    return SubItem < 0 ? Text.Caption() : Text.SubItem(SubItem);
}

int Sign(double Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

int ComparePrepared(const TSortKeyCache& A, const TSortKeyCache& B)
{
    if (A.Style == assSmart) {
        if (A.IsDate && B.IsDate)
            return Sign(A.Date() - B.Date());
        if (A.IsNumber && B.IsNumber)
            return A.Number() < B.Number() ? -1 : (A.Number() > B.Number() ? 1 : 0);
    }
    const int c = A.Key().compare(B.Key());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Rows without any text share one prepared empty cell per sort.
std::unique_ptr<TSortKeyCache> g_EmptyCell;

const TSortKeyCache* CacheOf(const TListItem& Item)
{
    if (Item.Texts().FieldCount() == 0)
        return g_EmptyCell && g_EmptyCell->Fits(g_Sort) ? g_EmptyCell.get() : nullptr;
    const TRowTextCache* any = Item.Texts().Cache();
    if (!any || typeid(*any) != typeid(TSortKeyCache))
        return nullptr;
    const auto* cache = static_cast<const TSortKeyCache*>(any);
    return cache->Fits(g_Sort) ? cache : nullptr;
}

// The prepared cell of a row, made now if the row has none for this sort.
const TSortKeyCache& PreparedCell(const TListItem& Item)
{
    if (const TSortKeyCache* cache = CacheOf(Item))
        return *cache;
    if (Item.Texts().FieldCount() == 0) { // no texts to keep a cell with
        g_EmptyCell = Prepare({}, g_Sort);
        return *g_EmptyCell;
    }
    auto fresh = Prepare(CellOf(Item.Texts(), g_Sort.SubItem), g_Sort);
    const TSortKeyCache& made = *fresh;
    Item.Texts().SetCache(std::move(fresh));
    return made;
}

// An order-preserving 64-bit image of a double.
std::uint64_t Ordered(double Value)
{
    if (Value == 0)
        Value = 0; // -0 and +0 are equal
    std::uint64_t bits = 0;
    std::memcpy(&bits, &Value, sizeof bits);
    return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

// Eight key bytes from From on as one big-endian number; missing bytes count as 0, which no
// key byte is, so a shorter key still orders first.
std::uint64_t TextPrefix(std::string_view Key, std::size_t From)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = From; i < From + 8; ++i)
        prefix = (prefix << 8) | (i < Key.size() ? static_cast<unsigned char>(Key[i]) : 0u);
    return prefix;
}

// The key bytes after the first sixteen are read at Tail where given (they last there for the
// sort), else in Bytes.
void TextKey(std::string_view Bytes, LVSORTKEY& Key, const char* Tail = nullptr)
{
    Key.Prefix = TextPrefix(Bytes, 0);
    Key.Prefix2 = TextPrefix(Bytes, 8);
    if (Bytes.size() > 16) {
        Key.Bytes = Tail ? Tail : Bytes.data() + 16;
        Key.Size = static_cast<std::uint32_t>(Bytes.size() - 16);
    }
    Key.Complete = true;
}

// The key of a text kept by a memo until the sort ends.
void KeptTextKey(TSortKeyMemo& Memo, std::string_view Text, LVSORTKEY& Key)
{
    const char* tail = nullptr;
    const std::string_view whole = Memo.Kept(Text, 16, tail);
    TextKey(whole, Key, tail);
}

void SortKey(LPARAM Item, LPARAM, LVSORTKEY& Key)
{
    const auto* item = reinterpret_cast<const TListItem*>(Item);
    if (!item) {
        Key.Failed = true; // the pairwise comparison places it
        return;
    }
    // The plain comparison needs nothing but the key, and a row's key is only needed while
    // the sort runs (the next sort in the same order turns the rows round or places a few):
    // rows of one value share one key, and the others' keys stand back to back until the
    // sort ends. A million rows keep no million keys of their own between sorts.
    if (g_Sort.Style == assDefault && item->Texts().FieldCount() > 0 && !CacheOf(*item)) {
        KeptTextKey(g_KeyMemo, CellOf(item->Texts(), g_Sort.SubItem), Key);
        return;
    }
    const TSortKeyCache* cache = &PreparedCell(*item);
    switch (g_Sort.Prefix) {
    case pkText:
        TextKey(cache->Key(), Key);
        break;
    case pkNumber:
        Key.Prefix = Ordered(static_cast<double>(cache->Number())); // ties may differ in precision
        break;
    case pkDate:
        Key.Prefix = Ordered(cache->Date());
        Key.Complete = true;
        break;
    case pkNone:
        break;
    }
}

// The plain comparison's keys on either of two threads. The second thread has a memo and a
// collation of its own and only reads the rows: the cells this style keeps with them (empty
// rows' one) were prepared before the sort began.
void WorkerSortKey(LPARAM Item, LPARAM SortParam, int Worker, LVSORTKEY& Key)
{
    if (Worker == 0)
        return SortKey(Item, SortParam, Key);
    const auto* item = reinterpret_cast<const TListItem*>(Item);
    if (const TSortKeyCache* cache = item ? CacheOf(*item) : nullptr)
        TextKey(cache->Key(), Key);
    else if (item && item->Texts().FieldCount() > 0)
        KeptTextKey(g_HelperKeyMemo, CellOf(item->Texts(), g_Sort.SubItem), Key);
    else
        Key.Failed = true; // the comparison places it, on the sorting thread
}

} // namespace

void TCustomEnhListView::SortByColumn(int ColumnIndex, bool Ascending)
{
    // The context is process-wide: a sort asked for from inside a comparison would
    // overwrite it under the running sort.
    if (g_Sort.Running)
        return;
    m_ResortPending = false;
    SetCurrentSortColumn(ColumnIndex);
    SortBegin(ColumnIndex, Ascending);
    g_Sort.Sign = Ascending ? 1 : -1;
    g_Sort.SubItem = ColumnIndex - 1;
    g_Sort.Running = true;
    ResetKeyMemos();
    try {
        if (OnSortItems) {
            CustomSort(&TCustomEnhListView::EventCompare, reinterpret_cast<LPARAM>(this));
        } else if (HandleAllocated()) {
            PrepareSortKeys();
            if (g_Sort.Prefix == pkNone || Items().Count() < 2) {
                CustomSort(&TCustomEnhListView::BuiltInCompare, reinterpret_cast<LPARAM>(this));
            } else {
                LVSORTKEYED sort;
                sort.Compare = &TCustomEnhListView::BuiltInCompare;
                sort.SortParam = reinterpret_cast<LPARAM>(this);
                sort.Key = &SortKey;
                sort.Descending = g_Sort.Sign < 0;
                if (g_Sort.Style == assDefault && g_HelperKeyMemo.OwnCollation())
                    sort.WorkerKey = &WorkerSortKey;
                // The same column and prepared cells name the same order: rows that stand in
                // it but for a few edited ones are placed, not sorted, and a click that only
                // turns the direction turns the rows round.
                sort.Order = (std::uint64_t(g_Sort.Stamp) << 24) |
                             (std::uint64_t(g_Sort.SubItem + 1) & 0xFFFFF) << 4 |
                             std::uint64_t(g_Sort.Prefix) << 1 | 1u;
                Perform(LVM_SORTITEMSKEYED, 0, reinterpret_cast<LPARAM>(&sort));
            }
        }
    } catch (...) {
        ResetKeyMemos();
        g_Sort.Running = false;
        throw;
    }
    ResetKeyMemos();
    g_Sort.Running = false;
    // The sorted column's item shows the arrow of the direction just sorted in.
    if (m_ShowSortArrows)
        InvalidateHeaderItem(ColumnIndex);
    SortFinished(ColumnIndex, Ascending);
}

void TCustomEnhListView::PrepareSortKeys()
{
    g_Sort.Style = m_AutoSortStyle;
    g_Sort.Generation = Locale::CollationGeneration();
    if (m_AutoSortStyle == assSmart) {
        g_Sort.Settings = Locale::DateSettings();
        g_Sort.CurrentYear = QDate::currentDate().year();
    }
    // Cells prepared under other settings are made again; those of other columns too.
    static TSortContext prepared;
    if (g_Sort.Stamp == 0 || prepared.Style != g_Sort.Style ||
        prepared.Generation != g_Sort.Generation ||
        (g_Sort.Style == assSmart &&
         (prepared.CurrentYear != g_Sort.CurrentYear ||
          prepared.Settings.DateSeparator != g_Sort.Settings.DateSeparator ||
          prepared.Settings.TimeSeparator != g_Sort.Settings.TimeSeparator ||
          prepared.Settings.Order != g_Sort.Settings.Order ||
          prepared.Settings.TimeAMString != g_Sort.Settings.TimeAMString ||
          prepared.Settings.TimePMString != g_Sort.Settings.TimePMString))) {
        prepared = g_Sort;
        ++g_Sort.Stamp;
    }
    g_EmptyCell = Prepare({}, g_Sort);
    if (m_AutoSortStyle == assDefault) {
        g_Sort.Prefix =
            pkText; // every pair is text; cells are prepared as their keys are asked for
        return;
    }
    const int count = Items().Count();
    int dates = 0;
    int numbers = 0;
    for (int i = 0; i < count; ++i) {
        const TSortKeyCache& cache = PreparedCell(*Items().Item(i));
        dates += cache.IsDate;
        numbers += cache.IsNumber;
    }
    // A prefix may decide a pair only where every row is compared the same way.
    if (dates == 0 && numbers == 0)
        g_Sort.Prefix = pkText;
    else if (dates == count)
        g_Sort.Prefix = pkDate;
    else if (dates == 0 && numbers == count)
        g_Sort.Prefix = pkNumber;
    else
        g_Sort.Prefix = pkNone;
}

int TCustomEnhListView::CompareTexts(std::string_view Left, std::string_view Right,
                                     TAutoSortStyle Style)
{
    if (Style == assSmart) {
        const Locale::TDateSettings settings = Locale::DateSettings();
        const int year = QDate::currentDate().year();
        double d1 = 0;
        double d2 = 0;
        if (SortValues::TryDateTime(Left, settings, year, d1) &&
            SortValues::TryDateTime(Right, settings, year, d2))
            return Sign(d1 - d2);
        long double n1 = 0;
        long double n2 = 0;
        if (SortValues::TryNumber(Left, n1) && SortValues::TryNumber(Right, n2))
            return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
    }
    return Locale::CompareText(Left, Right);
}

int TCustomEnhListView::BuiltInCompare(LPARAM Item1, LPARAM Item2, LPARAM List)
{
    try {
        const auto* a = reinterpret_cast<const TListItem*>(Item1);
        const auto* b = reinterpret_cast<const TListItem*>(Item2);
        const auto* list = reinterpret_cast<const TCustomEnhListView*>(List);
        if (!a || !b || !list)
            return 0;
        const TSortKeyCache* ca = CacheOf(*a);
        const TSortKeyCache* cb = CacheOf(*b);
        int result = 0;
        if (ca && cb) {
            result = ComparePrepared(*ca, *cb);
        } else {
            result = CompareTexts(CellOf(a->Texts(), g_Sort.SubItem),
                                  CellOf(b->Texts(), g_Sort.SubItem), list->m_AutoSortStyle);
        }
        return result * g_Sort.Sign;
    } catch (...) {
        return 0;
    }
}

int TCustomEnhListView::EventCompare(LPARAM Item1, LPARAM Item2, LPARAM List)
{
    auto* list = reinterpret_cast<TCustomEnhListView*>(List);
    int result = 0;
    try {
        list->SortItems(reinterpret_cast<TListItem*>(Item1), reinterpret_cast<TListItem*>(Item2),
                        g_Sort.SubItem, result);
    } catch (...) {
        return 0; // a pair the handler cannot compare counts as equal
    }
    return result * g_Sort.Sign;
}
