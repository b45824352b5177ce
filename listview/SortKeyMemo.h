#pragma once

#include "PrimaryRanks.h"
#include "TextKeyMaker.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The collation keys of one sort's texts, kept until the sort ends. Texts met again (kinds,
// shelves, disc counts) take the key made for them before: a column of a few dozen values
// costs a few dozen collations, not one per row, and a column of distinct texts soon stops
// looking them up. The texts are the rows', alive while the sort runs.
class TSortKeyMemo
{
public:
    // Forgets the keys, and the collation of its own where it had one.
    void Reset();
    // Keys from now until Reset come from a copy of the collation of the memo's own, so that
    // it may serve a thread besides the one that uses Locale. False when no copy can be had.
    bool OwnCollation();
    // Keys from now until Reset are of the collation's first level alone (Ranks, which stay
    // while the memo uses them): the comparison tells apart texts whose keys are equal.
    void UsePrimaryRanks(const TPrimaryRanks* Ranks) { m_Ranks = Ranks; }
    // The key of a text met again, or null where looking up does not pay (distinct texts) or
    // the memo is full.
    const std::string* Shared(std::string_view Text);
    // The comparison of two texts under the memo's own collation where it has one
    // (OwnCollation); else under Locale's, on the thread that uses Locale only.
    int Compare(std::string_view Left, std::string_view Right);
    // The key of a text into Key, whose room is reused.
    void KeyOf(std::string_view Text, std::string& Key);
    // The key of a text for this sort, whole, to be read before the next call. Its bytes from
    // Lasting on stay at Tail until Reset: shared where texts repeat, else kept back to back
    // with the other keys' of the sort, not in an allocation of its own per row. The first
    // bytes of a million keys, which their sort holds anyway, take no room twice.
    std::string_view Kept(std::string_view Text, std::size_t Lasting, const char*& Tail);

private:
    void Make(std::string_view Text, std::string& Key);
    bool GivenUp() const { return m_Asked >= kTrial && m_Found * 2 < m_Asked; }

    static constexpr std::size_t kTrial = 4096;
    static constexpr std::size_t kMostTexts = 65536;
    static constexpr std::size_t kChunk = std::size_t(1) << 20;
    std::unordered_map<std::string_view, std::string> m_Keys;
    // The texts met last, by a hash of their ends: a column of a few values finds its texts
    // here without hashing every byte and following the map's nodes.
    struct TRecent
    {
        std::string_view Text;
        const std::string* Key = nullptr;
    };
    static constexpr std::size_t kRecent = 256;
    std::array<TRecent, kRecent> m_Recent{};
    std::size_t m_Asked = 0;
    std::size_t m_Found = 0;
    std::vector<std::unique_ptr<char[]>> m_Chunks; // the last one is filled
    std::size_t m_Used = kChunk;
    std::string m_Scratch;
    std::unique_ptr<TTextKeyMaker> m_Maker;
    const TPrimaryRanks* m_Ranks = nullptr;
};
