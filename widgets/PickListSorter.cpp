#include "PickListSorter.h"

#include "Cp1250.h"
#include "Locale.h"
#include "TextSet.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string_view>

// What the last fill ended with: its sorted entries, where each of them came in that fill,
// and its texts as given, to look the next fill's texts up in.
struct TPickListSorter::TLast
{
    QStringList Sorted;
    std::vector<std::uint32_t> Came; // Sorted[i] was entry Came[i] of the fill
    std::string Bytes;
    TTextSet Entries; // views into Bytes; the ordinal of a text is its place in the fill
};

namespace {

std::string_view Entry(const std::string& Bytes, const std::vector<std::size_t>& Ends,
                       std::size_t I)
{
    const std::size_t start = I == 0 ? 0 : Ends[I - 1];
    return std::string_view(Bytes).substr(start, Ends[I] - start);
}

// Looks each entry up in Set, in order, and hands Use its index and ordinal (or -1) until Use
// says no more. Entries go in batches whose places in the set are asked for from memory
// together, instead of each lookup waiting on its own.
template <typename TUse>
bool LookUpEach(const TTextSet& Set, const std::string& Bytes, const std::vector<std::size_t>& Ends,
                TUse Use)
{
    constexpr std::size_t kBatch = 16;
    std::uint32_t hashes[kBatch];
    for (std::size_t first = 0; first < Ends.size(); first += kBatch) {
        const std::size_t size = std::min(kBatch, Ends.size() - first);
        for (std::size_t k = 0; k < size; ++k)
            hashes[k] = Set.ReadAhead(Entry(Bytes, Ends, first + k));
        for (std::size_t k = 0; k < size; ++k)
            Set.ReadAheadHeld(hashes[k]);
        for (std::size_t k = 0; k < size; ++k)
            if (!Use(first + k, Set.OrdinalOf(Entry(Bytes, Ends, first + k), hashes[k])))
                return false;
    }
    return true;
}

} // namespace

TPickListSorter::TPickListSorter() = default;
TPickListSorter::~TPickListSorter() = default;

void TPickListSorter::Forget()
{
    m_Last.reset();
}

bool TPickListSorter::SortOnce(QStringList& All, std::vector<std::uint32_t>* Order)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(All.size()));
    for (const auto& s : All)
        keys.push_back(Locale::SortKeyIgnoreCase(s));
    std::vector<std::uint32_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return keys[a].compare(keys[b]) < 0;
    });
    QStringList sorted;
    sorted.reserve(All.size());
    bool noTies = true;
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(All[static_cast<qsizetype>(order[i])]);
        // Equal entries stand in the order they came, which the next fill may give otherwise:
        // then this order says nothing of the next one's.
        if (i > 0 && keys[order[i - 1]].compare(keys[order[i]]) == 0)
            noTies = false;
    }
    All.swap(sorted);
    if (Order)
        Order->swap(order);
    return noTies;
}

QStringList TPickListSorter::Sorted(std::string Bytes, const std::vector<std::size_t>& Ends)
{
    if (SameAsLast(Bytes, Ends))
        return m_Last->Sorted;
    QStringList sorted;
    std::vector<std::uint32_t> order;
    if (!MergeWithLast(Bytes, Ends, sorted, order)) {
        for (std::size_t i = 0; i < Ends.size(); ++i)
            sorted.push_back(Cp1250::ToUnicode(Entry(Bytes, Ends, i)));
        if (!SortOnce(sorted, &order)) {
            Forget();
            return sorted;
        }
    }
    Remember(sorted, std::move(Bytes), Ends, std::move(order));
    return sorted;
}

bool TPickListSorter::SameAsLast(const std::string& Bytes,
                                 const std::vector<std::size_t>& Ends) const
{
    if (!m_Last || Ends.size() != m_Last->Entries.Size())
        return false;
    std::vector<bool> met(Ends.size(), false);
    return LookUpEach(m_Last->Entries, Bytes, Ends, [&](std::size_t, std::ptrdiff_t At) {
        if (At < 0 || met[std::size_t(At)])
            return false;
        met[std::size_t(At)] = true;
        return true;
    });
}

namespace {

// Entries sorted before (with where each came in the fill) and new entries sorted among
// themselves, put together: each new entry goes after the sorted ones before it. False where a
// new entry equals a sorted one, whose order needs the order they came in: a sort of all.
bool Interleave(const QStringList& Kept, const std::vector<std::uint32_t>& KeptCame,
                const QStringList& Added, const std::vector<std::uint32_t>& AddedCame,
                QStringList& Result, std::vector<std::uint32_t>& Order)
{
    std::vector<std::optional<QCollatorSortKey>> keptKeys(std::size_t(Kept.size()));
    auto keptKey = [&](qsizetype P) -> const QCollatorSortKey& {
        auto& key = keptKeys[std::size_t(P)];
        if (!key)
            key = Locale::SortKeyIgnoreCase(Kept[P]);
        return *key;
    };
    Result.clear();
    Result.reserve(Kept.size() + Added.size());
    Order.clear();
    Order.reserve(std::size_t(Kept.size() + Added.size()));
    qsizetype from = 0;
    auto keepUpTo = [&](qsizetype To) {
        for (; from < To; ++from) {
            Result.push_back(Kept[from]);
            Order.push_back(KeptCame[std::size_t(from)]);
        }
    };
    for (qsizetype a = 0; a < Added.size(); ++a) {
        const QCollatorSortKey key = Locale::SortKeyIgnoreCase(Added[a]);
        qsizetype lo = from;
        qsizetype hi = Kept.size();
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (keptKey(mid).compare(key) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < Kept.size() && keptKey(lo).compare(key) == 0)
            return false;
        keepUpTo(lo);
        Result.push_back(Added[a]);
        Order.push_back(AddedCame[std::size_t(a)]);
    }
    keepUpTo(Kept.size());
    return true;
}

} // namespace

bool TPickListSorter::MergeWithLast(const std::string& Bytes, const std::vector<std::size_t>& Ends,
                                    QStringList& Result, std::vector<std::uint32_t>& Order) const
{
    if (!m_Last)
        return false;
    // Where each of the last fill's entries comes in this one, and the entries that are new.
    constexpr std::uint32_t kGone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> cameAt(m_Last->Entries.Size(), kGone);
    std::vector<std::uint32_t> fresh;
    const bool merging =
        LookUpEach(m_Last->Entries, Bytes, Ends, [&](std::size_t I, std::ptrdiff_t At) {
            if (At < 0)
                fresh.push_back(static_cast<std::uint32_t>(I));
            else if (cameAt[std::size_t(At)] != kGone)
                return false; // an entry twice
            else
                cameAt[std::size_t(At)] = static_cast<std::uint32_t>(I);
            return fresh.size() <= 64 + Ends.size() / 16; // else a sort of all is as quick
        });
    if (!merging)
        return false;
    // The last fill's entries still there, in their sorted order.
    QStringList kept;
    std::vector<std::uint32_t> keptCame;
    for (qsizetype p = 0; p < m_Last->Sorted.size(); ++p) {
        const std::uint32_t came = cameAt[m_Last->Came[std::size_t(p)]];
        if (came != kGone) {
            kept.push_back(m_Last->Sorted[p]);
            keptCame.push_back(came);
        }
    }
    // The new ones, collated and sorted among themselves.
    QStringList added;
    for (const std::uint32_t i : fresh)
        added.push_back(Cp1250::ToUnicode(Entry(Bytes, Ends, i)));
    std::vector<std::uint32_t> addedOrder;
    if (!SortOnce(added, &addedOrder))
        return false;
    std::vector<std::uint32_t> addedCame;
    for (const std::uint32_t k : addedOrder)
        addedCame.push_back(fresh[k]);
    return Interleave(kept, keptCame, added, addedCame, Result, Order);
}

void TPickListSorter::Remember(QStringList Sorted, std::string Bytes,
                               const std::vector<std::size_t>& Ends,
                               std::vector<std::uint32_t> Order)
{
    auto last = std::make_unique<TLast>();
    last->Sorted = std::move(Sorted);
    last->Came = std::move(Order);
    last->Bytes = std::move(Bytes);
    last->Entries.Reserve(Ends.size());
    for (std::size_t i = 0; i < Ends.size(); ++i)
        last->Entries.Insert(Entry(last->Bytes, Ends, i));
    // An entry twice: no set of texts tells the fills apart.
    if (last->Entries.Size() == Ends.size())
        m_Last = std::move(last);
    else
        m_Last.reset();
}
