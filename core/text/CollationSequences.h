#pragma once

#include <string>
#include <vector>

struct UCollator;

// What a collation reads as more than one character at once, as far as Windows-1250 texts can
// hold it: letters it reads as one ("ch" in Czech: contractions) and characters it reads by the
// one before them ("·" after "l": contexts). Work done byte by byte must keep them together.
struct TCollationSequences
{
    std::vector<std::string> Contractions;
    std::vector<std::string> Contexts; // what stands before, then the character read by it
    bool Complete = false;             // false where ICU could not list them all
};

TCollationSequences CollationSequencesOf(const UCollator* Collator);
