#include "BuiltInSort.h"

#include "ListView.h"
#include "SortKeyCache.h"
#include "SortValues.h"

#include <QDate>

#include <cstring>
#include <typeinfo>
#include <unordered_set>

using namespace Win;

namespace {

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

// A row's key of the collation's first level, kept by a memo that makes such keys: rows whose
// keys are equal go to the comparison.
void FirstLevelKey(TSortKeyMemo& Memo, const TListItem& Item, int SubItem, LVSORTKEY& Key)
{
    const TRowText& texts = Item.Texts();
    KeptTextKey(Memo, texts.FieldCount() > 0 ? CellOf(texts, SubItem) : std::string_view(), Key);
    Key.Complete = false;
}

} // namespace

TBuiltInSort::TBuiltInSort() = default;
TBuiltInSort::~TBuiltInSort() = default;

void TBuiltInSort::SetRunning(bool Running)
{
    m_Running = Running;
    m_FirstLevel = false;
    m_Ranks = nullptr;
    // Keys kept for a sort last until it ends.
    m_KeyMemo.Reset();
    m_HelperKeyMemo.Reset();
}

void TBuiltInSort::Prepare(TAutoSortStyle Style, int SubItem, const TListItems& Items)
{
    m_Style = Style;
    m_SubItem = SubItem;
    if (Style == assSmart) {
        m_Settings = Locale::DateSettings();
        m_CurrentYear = QDate::currentDate().year();
    }
    // Cells prepared under other settings are made again; those of other columns too.
    const auto generation = static_cast<std::uint32_t>(Locale::CollationGeneration());
    const auto year = static_cast<std::uint16_t>(Style == assSmart ? m_CurrentYear : 0);
    const std::uint64_t setting = std::uint64_t(generation) << 32 | std::uint64_t(year) << 16 |
                                  std::uint64_t(Style) << 8 | 1u;
    if (setting != m_Setting) {
        m_Setting = setting;
        ++m_Stamp;
    }
    m_EmptyCell = Make({});
    if (Style == assDefault)
        m_Prefix = pkText; // every pair is text; cells are prepared as their keys are asked for
    else
        FindPrefix(Items);
    if (Items.Count() < kLongList)
        return;
    Locale::PrepareForLongLists();
    const TPrimaryRanks* ranks = Locale::CaseSensitivePrimaryRanks();
    m_FirstLevel = ranks && FirstLevelPays(Items);
    m_Ranks = m_FirstLevel ? ranks : nullptr;
    if (m_FirstLevel) {
        m_KeyMemo.UsePrimaryRanks(ranks);
        m_HelperKeyMemo.UsePrimaryRanks(ranks);
    }
}

bool TBuiltInSort::FirstLevelPays(const TListItems& Items) const
{
    // Keys of the first level alone pay for a long column of texts that hardly repeat (names):
    // a table makes them for a small part of what the collation's keys cost, and only the few
    // rows whose first levels tie are compared. A column of a few values (kinds, shelves)
    // keeps the collation's keys, shared by its rows, which leave no pair to the comparison.
    if (m_Style != assDefault)
        return false;
    constexpr int kSample = 512;
    const int count = Items.Count();
    std::unordered_set<std::string_view> seen;
    for (int i = 0; i < kSample; ++i) {
        const TRowText& texts = Items.Item(int(std::int64_t(i) * count / kSample))->Texts();
        seen.insert(texts.FieldCount() > 0 ? CellOf(texts, m_SubItem) : std::string_view());
    }
    return seen.size() * 2 > std::size_t(kSample);
}

void TBuiltInSort::FindPrefix(const TListItems& Items)
{
    const int count = Items.Count();
    int dates = 0;
    int numbers = 0;
    for (int i = 0; i < count; ++i) {
        const TSortKeyCache& cache = PreparedCell(*Items.Item(i));
        dates += cache.IsDate;
        numbers += cache.IsNumber;
    }
    // A prefix may decide a pair only where every row is compared the same way.
    if (dates == 0 && numbers == 0)
        m_Prefix = pkText;
    else if (dates == count)
        m_Prefix = pkDate;
    else if (dates == 0 && numbers == count)
        m_Prefix = pkNumber;
    else
        m_Prefix = pkNone;
}

bool TBuiltInSort::TwoThreads()
{
    if (m_Style != assDefault || !m_HelperKeyMemo.OwnCollation())
        return false;
    // The calling thread then compares under a copy of its own too, where one can be had: the
    // shared comparison asks the locale whether it changed at every pair, and the thread that
    // asks is the one both halves of the sort wait for.
    m_KeyMemo.OwnCollation();
    return true;
}

std::uint64_t TBuiltInSort::Order() const
{
    return std::uint64_t(m_Stamp) << 24 | (std::uint64_t(m_SubItem + 1) & 0xFFFFF) << 4 |
           std::uint64_t(m_Prefix) << 1 | 1u;
}

std::unique_ptr<TSortKeyCache> TBuiltInSort::Make(std::string_view Text)
{
    m_KeyMemo.KeyOf(Text, m_KeyRoom);
    auto cache = TSortKeyCache::Make(m_KeyRoom, m_Style);
    cache->Fill(m_Setting, m_SubItem,
                [&](bool& IsDate, double& Date, bool& IsNumber, long double& Number) {
                    IsDate = SortValues::TryDateTime(Text, m_Settings, m_CurrentYear, Date);
                    IsNumber = SortValues::TryNumber(Text, Number);
                });
    return cache;
}

const TSortKeyCache* TBuiltInSort::CacheOf(const TListItem& Item, int SubItem) const
{
    if (Item.Texts().FieldCount() == 0)
        return m_EmptyCell && m_EmptyCell->Fits(m_Setting, SubItem) ? m_EmptyCell.get() : nullptr;
    const TRowTextCache* any = Item.Texts().Cache();
    if (!any || typeid(*any) != typeid(TSortKeyCache))
        return nullptr;
    const auto* cache = static_cast<const TSortKeyCache*>(any);
    return cache->Fits(m_Setting, SubItem) ? cache : nullptr;
}

const TSortKeyCache& TBuiltInSort::PreparedCell(const TListItem& Item)
{
    if (const TSortKeyCache* cache = CacheOf(Item, m_SubItem))
        return *cache;
    if (Item.Texts().FieldCount() == 0) { // no texts to keep a cell with
        m_EmptyCell = Make({});
        return *m_EmptyCell;
    }
    auto fresh = Make(CellOf(Item.Texts(), m_SubItem));
    const TSortKeyCache& made = *fresh;
    Item.Texts().SetCache(std::move(fresh));
    return made;
}

void TBuiltInSort::Key(const TListItem* Item, LVSORTKEY& Key)
{
    if (!Item) {
        Key.Failed = true; // the pairwise comparison places it
        return;
    }
    if (m_FirstLevel) {
        FirstLevelKey(m_KeyMemo, *Item, m_SubItem, Key);
        return;
    }
    // The plain comparison needs nothing but the key, and a row's key is only needed while
    // the sort runs (the next sort in the same order turns the rows round or places a few):
    // rows of one value share one key, and the others' keys stand back to back until the
    // sort ends. A million rows keep no million keys of their own between sorts.
    if (m_Style == assDefault && Item->Texts().FieldCount() > 0 && !CacheOf(*Item, m_SubItem)) {
        KeptTextKey(m_KeyMemo, CellOf(Item->Texts(), m_SubItem), Key);
        return;
    }
    const TSortKeyCache& cache = PreparedCell(*Item);
    switch (m_Prefix) {
    case pkText:
        TextKey(cache.Key(), Key);
        break;
    case pkNumber:
        Key.Prefix = Ordered(static_cast<double>(cache.Number())); // ties may differ in precision
        break;
    case pkDate:
        Key.Prefix = Ordered(cache.Date());
        Key.Complete = true;
        break;
    case pkNone:
        break;
    }
}

bool TBuiltInSort::KeyWords(const TListItem* Item, std::uint32_t& State, std::uint64_t& Word,
                            std::uint64_t& Word2) const
{
    if (!Item || !m_Ranks)
        return false;
    const TRowText& texts = Item->Texts();
    const std::string_view text =
        texts.FieldCount() > 0 ? CellOf(texts, m_SubItem) : std::string_view();
    Word = m_Ranks->Word(text, State);
    Word2 = m_Ranks->Word(text, State);
    return true;
}

void TBuiltInSort::WorkerKey(const TListItem* Item, LVSORTKEY& Key)
{
    // The second thread has a memo and a collation of its own and only reads the rows: the
    // cells this style keeps with them (empty rows' one) were prepared before the sort began.
    if (m_FirstLevel && Item)
        FirstLevelKey(m_HelperKeyMemo, *Item, m_SubItem, Key);
    else if (const TSortKeyCache* cache = Item ? CacheOf(*Item, m_SubItem) : nullptr)
        TextKey(cache->Key(), Key);
    else if (Item && Item->Texts().FieldCount() > 0)
        KeptTextKey(m_HelperKeyMemo, CellOf(Item->Texts(), m_SubItem), Key);
    else
        Key.Failed = true; // the comparison places it, on the sorting thread
}

int TBuiltInSort::Compare(const TListItem& A, const TListItem& B, int SubItem,
                          TAutoSortStyle Style) const
{
    const TSortKeyCache* ca = CacheOf(A, SubItem);
    const TSortKeyCache* cb = CacheOf(B, SubItem);
    if (ca && cb)
        return ComparePrepared(*ca, *cb);
    return CompareTexts(CellOf(A.Texts(), SubItem), CellOf(B.Texts(), SubItem), Style);
}

int TBuiltInSort::WorkerCompare(const TListItem& A, const TListItem& B, int SubItem, int Worker)
{
    const TSortKeyCache* ca = CacheOf(A, SubItem);
    const TSortKeyCache* cb = CacheOf(B, SubItem);
    if (ca && cb)
        return ComparePrepared(*ca, *cb);
    TSortKeyMemo& memo = Worker == 0 ? m_KeyMemo : m_HelperKeyMemo;
    return memo.Compare(CellOf(A.Texts(), SubItem), CellOf(B.Texts(), SubItem));
}

int TBuiltInSort::CompareTexts(std::string_view Left, std::string_view Right, TAutoSortStyle Style)
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
