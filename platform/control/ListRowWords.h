#pragma once

#include "ListMessages.h"
#include "ListRow.h"
#include "WordOrder.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A sorter's keys read from the rows two words at a time (LVSORTKEYED::KeyWords), as far as the
// rows' ties need them, for TWordOrder: no row's key is kept whole.
class TRowKeyWords
{
public:
    TRowKeyWords(std::span<const std::unique_ptr<TListRow>> Rows, const Win::LVSORTKEYED& Sort)
        : m_Rows(Rows), m_Sort(Sort)
    {
    }

    // Whether a row's word could not be read: the order the words gave is then of no use.
    bool Failed() const { return m_Failed.load(std::memory_order_relaxed); }

    // Every row's first sixteen key bytes; a long list's on two threads, half of the rows each.
    void First(std::vector<KeyOrder::TWordEntry>& Entries);
    void Read(KeyOrder::TWordEntry& Entry, std::size_t);
    // Rows made one after another stand near one another, with their texts.
    static constexpr bool kRowOrderPays = true;
    // The row leads to its texts, which the words are read from.
    void Ask(std::uint32_t Row, std::size_t, int Step) const
    {
        if (Step == 1)
            ReadAhead::Ask(m_Rows[Row].get());
        else
            m_Rows[Row]->Text.ReadAhead();
    }
    // A key's last word ends in a 0 byte, which no key byte is.
    static bool GoesOn(const KeyOrder::TWordEntry& Entry, std::size_t)
    {
        return (Entry.Word2 & 0xFF) != 0;
    }
    // Keys read so are only ever a beginning: the comparison settles their ties.
    static bool EndedEqual(std::uint32_t, std::uint32_t) { return false; }

private:
    std::span<const std::unique_ptr<TListRow>> m_Rows;
    const Win::LVSORTKEYED& m_Sort;
    std::atomic<bool> m_Failed = false;
};
