#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// A set of Windows-1250 texts, compared as they are or ignoring case, for telling many values
// apart (the pick lists' entries among a million rows): one flat table, one memory access per
// text met. The texts are not copied; they must outlive the set.
class TTextSet
{
public:
    enum TCase
    {
        csExact,
        csIgnore
    };
    explicit TTextSet(TCase Case = csExact) : m_Case(Case) {}

    // False when an equal text is already in.
    bool Insert(std::string_view Text) { return Insert(Text, HashOf(Text)); }
    // For many texts at once: the hash of each, with its place in the table asked for from
    // memory; then, once that place is at hand, the text held there if it may be equal; then
    // the inserts with those hashes (from this set's ReadAhead only). Many texts wait on memory
    // together instead of one after another.
    std::uint32_t ReadAhead(std::string_view Text) const;
    void ReadAheadHeld(std::uint32_t Hash) const;
    bool Insert(std::string_view Text, std::uint32_t Hash) { return Place(Text, Hash).Inserted; }
    // Inserts Text unless an equal text is in; either way, where the text in the set stands.
    struct TPlace
    {
        std::uint32_t Ordinal;
        bool Inserted;
        std::string_view Held; // the text as it went in
    };
    TPlace Place(std::string_view Text, std::uint32_t Hash);
    TPlace Place(std::string_view Text) { return Place(Text, HashOf(Text)); }
    // Takes an equal text out; false when none is in. Ordinals of the others stay, and the
    // next text in gets a new one.
    bool Erase(std::string_view Text);
    // Points the text equal to Text at Text itself (another spelling, ignoring case), which
    // must then outlive the set; false when none is in.
    bool Rebind(std::string_view Text);
    bool Contains(std::string_view Text) const { return OrdinalOf(Text) >= 0; }
    // The place of an equal text among the texts in the order they went in (counting those
    // erased since), or -1.
    std::ptrdiff_t OrdinalOf(std::string_view Text) const;
    std::ptrdiff_t OrdinalOf(std::string_view Text, std::uint32_t Hash) const;
    // Room for Count texts, so that filling the set does not move it as it grows.
    void Reserve(std::size_t Count);
    std::size_t Size() const { return m_Size; }
    // One past the highest ordinal given so far.
    std::size_t Ordinals() const { return m_Ordinals; }

private:
    struct TSlot
    {
        const char* Data = nullptr;
        std::uint32_t Size = 0;
        std::uint32_t Hash = 0; // 0 marks an empty slot
        std::uint32_t Ordinal = 0;
    };
    std::uint32_t HashOf(std::string_view Text) const;
    bool Equal(const TSlot& Slot, std::uint32_t Hash, std::string_view Text) const;
    // The slot holding Text, or the empty one where it would go.
    std::size_t Find(std::string_view Text, std::uint32_t Hash) const;
    // The slot holding Text, if one does.
    std::optional<std::size_t> SlotOf(std::string_view Text, std::uint32_t Hash) const;
    void Grow(std::size_t Room);

    TCase m_Case;
    std::vector<TSlot> m_Slots;
    std::size_t m_Size = 0;
    std::size_t m_Ordinals = 0;
};
