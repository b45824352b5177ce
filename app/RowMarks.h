#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// One mark for each row of a long list (which master rows a filter lets through), a bit each: a
// million rows cost 125 KiB. Rows marked on two threads at once are marked in ranges that start
// at a multiple of kWord, so that no word is written by both.
class TRowMarks
{
public:
    static constexpr std::size_t kWord = 64;

    std::size_t Size() const { return m_Size; }
    // Room for Size rows, all unmarked; the room of before is used again.
    void Reset(std::size_t Size)
    {
        m_Size = Size;
        m_Words.assign((Size + kWord - 1) / kWord, 0);
    }
    bool operator[](std::size_t Row) const { return (m_Words[Row / kWord] >> (Row % kWord)) & 1; }
    void Mark(std::size_t Row) { m_Words[Row / kWord] |= std::uint64_t(1) << (Row % kWord); }
    std::size_t Count() const { return Count(0, m_Size); }
    // The rows From to To - 1 that are marked.
    std::size_t Count(std::size_t From, std::size_t To) const
    {
        std::size_t marked = 0;
        for (std::size_t w = From / kWord; w * kWord < To; ++w) {
            std::uint64_t word = m_Words[w];
            if (w == From / kWord)
                word &= ~std::uint64_t(0) << (From % kWord);
            if (To - w * kWord < kWord)
                word &= (std::uint64_t(1) << (To - w * kWord)) - 1;
            marked += static_cast<std::size_t>(std::popcount(word));
        }
        return From < To ? marked : 0;
    }

private:
    std::size_t m_Size = 0;
    std::vector<std::uint64_t> m_Words;
};
