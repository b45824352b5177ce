#include "TextSet.h"

#include "Cp1250.h"
#include "ReadAhead.h"

#include <functional>
#include <optional>
#include <stdexcept>

std::uint32_t TTextSet::HashOf(std::string_view Text) const
{
    const std::size_t full =
        m_Case == csIgnore ? Cp1250::TFoldedHash()(Text) : std::hash<std::string_view>()(Text);
    const auto hash = static_cast<std::uint32_t>(full ^ (full >> 32));
    return hash == 0 ? 1 : hash;
}

bool TTextSet::Equal(const TSlot& Slot, std::uint32_t Hash, std::string_view Text) const
{
    if (Slot.Hash != Hash || Slot.Size != Text.size())
        return false;
    const std::string_view held(Slot.Data, Slot.Size);
    return m_Case == csIgnore ? Cp1250::TFoldedEqual()(held, Text) : held == Text;
}

std::size_t TTextSet::Find(std::string_view Text, std::uint32_t Hash) const
{
    const std::size_t mask = m_Slots.size() - 1;
    std::size_t i = Hash & mask;
    while (m_Slots[i].Hash != 0 && !Equal(m_Slots[i], Hash, Text))
        i = (i + 1) & mask;
    return i;
}

std::uint32_t TTextSet::ReadAhead(std::string_view Text) const
{
    const std::uint32_t hash = HashOf(Text);
    if (!m_Slots.empty())
        ::ReadAhead::Ask(&m_Slots[hash & (m_Slots.size() - 1)]);
    return hash;
}

void TTextSet::ReadAheadHeld(std::uint32_t Hash) const
{
    if (m_Slots.empty())
        return;
    const TSlot& slot = m_Slots[Hash & (m_Slots.size() - 1)];
    if (slot.Hash == Hash)
        ::ReadAhead::Ask(slot.Data);
}

TTextSet::TPlace TTextSet::Place(std::string_view Text, std::uint32_t Hash)
{
    if (Text.size() > 0xFFFFFFFFu || m_Ordinals >= 0xFFFFFFFFu)
        throw std::length_error("too long a text or too many for a set of texts");
    if ((m_Size + 1) * 2 > m_Slots.size())
        Grow(m_Slots.empty() ? 16 : m_Slots.size() * 2);
    TSlot& slot = m_Slots[Find(Text, Hash)];
    if (slot.Hash != 0)
        return {slot.Ordinal, false, std::string_view(slot.Data, slot.Size)};
    slot = {Text.data(), static_cast<std::uint32_t>(Text.size()), Hash,
            static_cast<std::uint32_t>(m_Ordinals)};
    ++m_Size;
    ++m_Ordinals;
    return {slot.Ordinal, true, Text};
}

std::optional<std::size_t> TTextSet::SlotOf(std::string_view Text, std::uint32_t Hash) const
{
    if (m_Size == 0 || Text.size() > 0xFFFFFFFFu)
        return std::nullopt;
    const std::size_t at = Find(Text, Hash);
    return m_Slots[at].Hash != 0 ? std::optional(at) : std::nullopt;
}

bool TTextSet::Rebind(std::string_view Text)
{
    const auto at = SlotOf(Text, HashOf(Text));
    if (!at)
        return false;
    m_Slots[*at].Data = Text.data(); // equal texts have equal sizes
    return true;
}

bool TTextSet::Erase(std::string_view Text)
{
    const auto at = SlotOf(Text, HashOf(Text));
    if (!at)
        return false;
    const std::size_t mask = m_Slots.size() - 1;
    std::size_t hole = *at;
    // Texts after the hole that probed past it move back into it, so that every text stays
    // reachable from its home slot without a marker for the erased one.
    for (std::size_t i = (hole + 1) & mask; m_Slots[i].Hash != 0; i = (i + 1) & mask) {
        const std::size_t home = m_Slots[i].Hash & mask;
        const bool homeAfterHole = ((i - home) & mask) < ((i - hole) & mask);
        if (homeAfterHole)
            continue;
        m_Slots[hole] = m_Slots[i];
        hole = i;
    }
    m_Slots[hole] = TSlot();
    --m_Size;
    return true;
}

std::ptrdiff_t TTextSet::OrdinalOf(std::string_view Text) const
{
    return OrdinalOf(Text, HashOf(Text));
}

std::ptrdiff_t TTextSet::OrdinalOf(std::string_view Text, std::uint32_t Hash) const
{
    const auto at = SlotOf(Text, Hash);
    return at ? std::ptrdiff_t(m_Slots[*at].Ordinal) : -1;
}

void TTextSet::Reserve(std::size_t Count)
{
    std::size_t room = 16;
    while (room < Count * 2)
        room *= 2;
    if (room > m_Slots.size())
        Grow(room);
}

void TTextSet::Grow(std::size_t Room)
{
    std::vector<TSlot> old(Room);
    old.swap(m_Slots);
    const std::size_t mask = m_Slots.size() - 1;
    for (const TSlot& slot : old) {
        if (slot.Hash == 0)
            continue;
        std::size_t i = slot.Hash & mask;
        while (m_Slots[i].Hash != 0)
            i = (i + 1) & mask;
        m_Slots[i] = slot;
    }
}
