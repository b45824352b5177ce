#pragma once

#include <QCollatorSortKey>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Sorts a pick list's entries in the locale's collation ignoring case, equal entries in the
// order they came; and fills the same list again quickly. A refill with the entries of the
// last one, in any order, is told in one pass with nothing collated; one with a few new
// entries collates only those and places each among the others by a binary search.
class TPickListSorter
{
public:
    TPickListSorter();
    ~TPickListSorter();

    // Entries as Windows-1250 texts back to back: entry i ends at Ends[i].
    QStringList Sorted(std::string Bytes, const std::vector<std::size_t>& Ends);
    // Sorts All once, remembering nothing; Order receives where each sorted entry stood.
    // False when two entries collate equal.
    static bool SortOnce(QStringList& All, std::vector<std::uint32_t>* Order = nullptr);
    // The entries changed in some other way: the next fill starts afresh.
    void Forget();

private:
    struct TLast;
    bool SameAsLast(const std::string& Bytes, const std::vector<std::size_t>& Ends) const;
    bool MergeWithLast(const std::string& Bytes, const std::vector<std::size_t>& Ends,
                       QStringList& Result, std::vector<std::uint32_t>& Order) const;
    void Remember(QStringList Sorted, std::string Bytes, const std::vector<std::size_t>& Ends,
                  std::vector<std::uint32_t> Order);

    std::unique_ptr<TLast> m_Last;
};
