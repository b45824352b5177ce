#pragma once

#include "CollationSequences.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

// Keys that order Windows-1250 texts by a collation's first level alone, a byte per weight:
// texts whose keys differ stand in the collation's order, the shorter key first where one
// begins the other; texts whose keys are equal may still differ (in case, in accents) and are
// for the comparison to tell apart. Made by a table, they cost a small part of what the
// collation's own keys cost.
class TPrimaryRanks
{
public:
    // The ranks of the collation's first-level weights of the code page's characters and of
    // the letters it reads as one; unusable where the first level is not the collation's
    // first word (numbers read as numbers, symbols set aside, scripts reordered), where
    // characters read by what stands before them, or where the weights are too many.
    TPrimaryRanks(const UCollator* Collator, const TCollationSequences& Sequences);

    bool Usable() const { return m_Usable; }
    // Text's key into Key, whose room is reused.
    void Make(std::string_view Text, std::string& Key) const;
    // The order of two texts' keys, -1, 0 or +1, reading them only as far as they differ.
    int CompareFirstLevel(std::string_view Left, std::string_view Right) const;
    // Eight bytes of Text's key as one big-endian number, from where State says (0: the key's
    // beginning) on; State moves past them. Bytes past the key's end are 0, which no key byte
    // is. A key is read so only as far as a sort needs it, and none is kept.
    std::uint64_t Word(std::string_view Text, std::uint32_t& State) const;

private:
    using TWeights = std::vector<std::uint32_t>;
    struct TRanks
    {
        std::array<unsigned char, 4> Rank{};
        unsigned char Count = 0;
    };
    struct TContraction
    {
        std::string Bytes; // beginning with the byte it is listed under
        TRanks Ranks;
    };

    static bool FirstLevelFirst(const UCollator* Collator);
    static bool ReadAsUnits(const TCollationSequences& Sequences);
    bool Build(const UCollator* Collator, const TCollationSequences& Sequences);
    // The ranks of the character, or of the letters read as one, at At, which moves past them.
    const TRanks& UnitAt(std::string_view Text, std::size_t& At) const;
    bool RankOf(const TWeights& Weights, const TWeights& Ranked, TRanks& Ranks) const;

    bool m_Usable = false;
    std::array<TRanks, 256> m_Byte{};
    // By first byte, the longest first: a contraction is read where it matches, as the
    // collation reads the longest one.
    std::array<std::vector<TContraction>, 256> m_Contractions{};
};
