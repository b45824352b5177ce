// The sorting level's sort of its rows: the two process-wide values the comparisons read (the
// running sort's direction and column), the built-in comparison over the list's prepared
// cells, the user's comparison, and the keyed sort the control offers.
#include "EnhListView.h"

#include "BuiltInSort.h"

using namespace Win;

namespace {

// The running sort's direction (+1 ascending, -1 descending) and sub-item index (the column
// index minus 1), set immediately before the control is asked to sort.
int g_SortSign = 1;
int g_SortSubItem = -1;

// Sets the two for a sort and gives them back as they were once it ends: a sort of another
// list started from inside a comparison must not change them under the sort that runs.
class TSortContext
{
public:
    TSortContext(int Sign, int SubItem) : m_Sign(g_SortSign), m_SubItem(g_SortSubItem)
    {
        g_SortSign = Sign;
        g_SortSubItem = SubItem;
    }
    ~TSortContext()
    {
        g_SortSign = m_Sign;
        g_SortSubItem = m_SubItem;
    }
    TSortContext(const TSortContext&) = delete;
    TSortContext& operator=(const TSortContext&) = delete;

private:
    int m_Sign;
    int m_SubItem;
};

} // namespace

void TCustomEnhListView::SortByColumn(int ColumnIndex, bool Ascending)
{
    // A sort asked for from inside this list's comparisons would reorder the rows under them.
    if (m_BuiltIn->Running())
        return;
    m_ResortPending = false;
    SetCurrentSortColumn(ColumnIndex);
    SortBegin(ColumnIndex, Ascending);
    {
        const TSortContext context(Ascending ? 1 : -1, ColumnIndex - 1);
        m_BuiltIn->SetRunning(true);
        try {
            RunSort(Ascending);
        } catch (...) {
            m_BuiltIn->SetRunning(false);
            throw;
        }
        m_BuiltIn->SetRunning(false);
    }
    // The sorted column's item shows the arrow of the direction just sorted in.
    if (m_ShowSortArrows)
        InvalidateHeaderItem(ColumnIndex);
    SortFinished(ColumnIndex, Ascending);
}

void TCustomEnhListView::RunSort(bool Ascending)
{
    if (OnSortItems) {
        CustomSort(&TCustomEnhListView::EventCompare, reinterpret_cast<LPARAM>(this));
        return;
    }
    if (!HandleAllocated())
        return;
    m_BuiltIn->Prepare(m_AutoSortStyle, g_SortSubItem, Items());
    if (!m_BuiltIn->Keyed() || Items().Count() < 2) {
        CustomSort(&TCustomEnhListView::BuiltInCompare, reinterpret_cast<LPARAM>(this));
        return;
    }
    LVSORTKEYED sort;
    sort.Compare = &TCustomEnhListView::BuiltInCompare;
    sort.SortParam = reinterpret_cast<LPARAM>(this);
    sort.Key = &TCustomEnhListView::BuiltInKey;
    sort.Descending = !Ascending;
    if (m_BuiltIn->TwoThreads()) {
        sort.WorkerKey = &TCustomEnhListView::BuiltInWorkerKey;
        sort.WorkerCompare = &TCustomEnhListView::BuiltInWorkerCompare;
    }
    if (m_BuiltIn->ReadsKeyWords())
        sort.KeyWords = &TCustomEnhListView::BuiltInKeyWords;
    // The same column and prepared cells name the same order: rows that stand in it but for
    // a few edited ones are placed, not sorted, and a click that only turns the direction
    // turns the rows round.
    sort.Order = m_BuiltIn->Order();
    Perform(LVM_SORTITEMSKEYED, 0, reinterpret_cast<LPARAM>(&sort));
}

int TCustomEnhListView::CompareTexts(std::string_view Left, std::string_view Right,
                                     TAutoSortStyle Style)
{
    return TBuiltInSort::CompareTexts(Left, Right, Style);
}

int TCustomEnhListView::BuiltInCompare(LPARAM Item1, LPARAM Item2, LPARAM List)
{
    try {
        const auto* a = reinterpret_cast<const TListItem*>(Item1);
        const auto* b = reinterpret_cast<const TListItem*>(Item2);
        const auto* list = reinterpret_cast<const TCustomEnhListView*>(List);
        if (!a || !b || !list)
            return 0;
        return list->m_BuiltIn->Compare(*a, *b, g_SortSubItem, list->m_AutoSortStyle) * g_SortSign;
    } catch (...) {
        return 0;
    }
}

void TCustomEnhListView::BuiltInKey(LPARAM Item, LPARAM List, LVSORTKEY& Key)
{
    auto* list = reinterpret_cast<TCustomEnhListView*>(List);
    list->m_BuiltIn->Key(reinterpret_cast<const TListItem*>(Item), Key);
}

bool TCustomEnhListView::BuiltInKeyWords(LPARAM Item, LPARAM List, std::uint32_t& State,
                                         std::uint64_t& Word, std::uint64_t& Word2)
{
    const auto* list = reinterpret_cast<const TCustomEnhListView*>(List);
    return list->m_BuiltIn->KeyWords(reinterpret_cast<const TListItem*>(Item), State, Word, Word2);
}

void TCustomEnhListView::BuiltInWorkerKey(LPARAM Item, LPARAM List, int Worker, LVSORTKEY& Key)
{
    auto* list = reinterpret_cast<TCustomEnhListView*>(List);
    if (Worker == 0)
        list->m_BuiltIn->Key(reinterpret_cast<const TListItem*>(Item), Key);
    else
        list->m_BuiltIn->WorkerKey(reinterpret_cast<const TListItem*>(Item), Key);
}

int TCustomEnhListView::BuiltInWorkerCompare(LPARAM Item1, LPARAM Item2, LPARAM List, int Worker)
{
    try {
        const auto* a = reinterpret_cast<const TListItem*>(Item1);
        const auto* b = reinterpret_cast<const TListItem*>(Item2);
        auto* list = reinterpret_cast<TCustomEnhListView*>(List);
        if (!a || !b || !list)
            return 0;
        return list->m_BuiltIn->WorkerCompare(*a, *b, g_SortSubItem, Worker) * g_SortSign;
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
                        g_SortSubItem, result);
    } catch (...) {
        return 0; // a pair the handler cannot compare counts as equal
    }
    return result * g_SortSign;
}
