#pragma once

#include "RowTextJournal.h"
#include "TextSet.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TListItems;
class TSortedComboBox;

// The kinds' and the shelves' pick lists: each offers the values of one field of the master
// rows once, ignoring case, in the spelling met first in master order, after a fixed first
// entry. After an edit they follow what the master list's journal says changed; they read
// every row again only when that does not tell them enough.
class TPickLists
{
public:
    struct TList
    {
        TSortedComboBox* Box;
        int Field;
    };
    TPickLists(std::array<TList, 2> Lists, std::string_view First);

    // Brings both lists in line with Master, whose journal this is.
    void Refresh(const TListItems& Master, TRowTextJournal& Journal);

private:
    // One list's values: the set of them, and for each (by its ordinal in the set) the row
    // texts that hold its spelling, how many rows have it, and whether they spell it in more
    // than one way (then the spelling offered is that of its first row, which may change).
    struct TTally
    {
        explicit TTally(TList Of) : List(Of) {}
        TList List;
        TTextSet Values{TTextSet::csIgnore};
        std::vector<TRowText> Holders;
        std::vector<std::uint32_t> Rows;
        std::vector<std::uint8_t> SpeltSeveralWays;
        std::size_t ValuesSpeltSeveralWays = 0;
    };

    // How many rows more (or fewer) hold a spelling, and a text that holds it, to keep.
    struct TDelta
    {
        std::int64_t Rows = 0;
        const TRowText* Came = nullptr;
    };

    void Refill(const TListItems& Master);
    void StartTally(TTally& Tally);
    // One list's values counted over every row; the texts that hold a value first go to Came.
    void CountRows(TTally& Tally, const TListItems& Master, std::vector<const TRowText*>& Came);
    void Count(TTally& Tally, std::string_view Value, std::uint32_t Hash, const TRowText& Row,
               std::vector<const TRowText*>& Came);
    // False when the journal does not tell enough and every row must be read.
    bool Follow(const TListItems& Master, std::span<const TRowTextJournal::TEntry> Entries);
    bool Follow(TTally& Tally, std::span<const TRowTextJournal::TEntry> Entries, bool& Respell);
    // A value no row held before; a value's count of rows changed by Rows. False when the
    // journal does not tell enough.
    bool AddValue(TTally& Tally, const TDelta& Delta);
    bool Recount(TTally& Tally, std::size_t Ordinal, std::string_view Spelling, std::int64_t Rows,
                 bool& Respell);
    bool Respell(const TListItems& Master);
    // One row's value of one list: offered in this row's spelling if it is the first row met
    // with it. False when the list refused the change.
    bool Respell(TTally& Tally, const TRowText& Text, std::vector<bool>& Met, std::size_t& Left);

    std::array<TTally, 2> m_Tallies;
    std::string m_First;
    static constexpr std::uint64_t kNoMark = ~std::uint64_t{0}; // a journal knows no such mark
    std::uint64_t m_Mark = kNoMark;
};
