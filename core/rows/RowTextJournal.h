#pragma once

#include "RowText.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What became of a list's rows' texts since a given mark, for the one reader that keeps a
// summary of them up to date (the pick lists) instead of reading every row again. It records
// nothing until the reader starts it, and past its room it stops: the reader then reads all
// rows, as it would without it.
class TRowTextJournal
{
public:
    enum TKind : std::uint8_t
    {
        jkCame,     // a row came with these texts, or a row's texts became these
        jkGone,     // a row with these texts went, or a row's texts were these
        jkReordered // the rows stand in another order
    };
    struct TEntry
    {
        TKind Kind = jkCame;
        TRowText Text; // shared with the row: an entry costs no copy of the texts
    };

    // Forgets what it holds and records from now on; the mark to read from.
    std::uint64_t Start();
    // What happened since Mark, in order; nothing when that is not known (never started,
    // out of room, or started again since).
    std::optional<std::span<const TEntry>> Since(std::uint64_t Mark) const;
    bool Recording() const { return m_Recording; }

    void Came(const TRowText& Text) { Record(jkCame, Text); }
    void Gone(const TRowText& Text) { Record(jkGone, Text); }
    void Reordered() { Record(jkReordered, TRowText()); }

    // Past this many entries the reader reads all rows sooner than this many changes.
    static constexpr std::size_t kRoom = 4096;

private:
    void Record(TKind Kind, const TRowText& Text);

    std::vector<TEntry> m_Entries;
    std::uint64_t m_First = 0; // the mark of m_Entries[0]
    bool m_Recording = false;
};
