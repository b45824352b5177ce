#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "CollationSequences.h"

// How far two Windows-1250 texts that begin alike may be skipped before a collation compares
// them: what they share weighs the same in both, so the collation decides by what follows,
// provided it does not begin inside what it reads as one with the byte before.
class TCollationCut
{
public:
    // The bytes that a collation may read as one with the byte before them: the second and
    // later characters of its contractions and contexts, combining marks, and digits (which a
    // numeric collation reads as one number).
    explicit TCollationCut(const TCollationSequences& Sequences);

    // How many leading bytes of the two texts a comparison under the collation may skip: the
    // result is the same as of the whole texts.
    std::size_t Shared(std::string_view Left, std::string_view Right) const;

private:
    std::array<bool, 256> m_Joins; // by byte: may belong with the byte before it
};
