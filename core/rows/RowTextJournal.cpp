#include "RowTextJournal.h"

std::uint64_t TRowTextJournal::Start()
{
    m_First += m_Entries.size();
    m_Entries.clear();
    m_Recording = true;
    return m_First;
}

std::optional<std::span<const TRowTextJournal::TEntry>>
TRowTextJournal::Since(std::uint64_t Mark) const
{
    if (!m_Recording || Mark < m_First || Mark - m_First > m_Entries.size())
        return std::nullopt;
    return std::span<const TEntry>(m_Entries).subspan(Mark - m_First);
}

void TRowTextJournal::Record(TKind Kind, const TRowText& Text)
{
    if (!m_Recording)
        return;
    if (m_Entries.size() >= kRoom) {
        // Too much changed to be worth following: let go of the texts held and stop.
        m_First += m_Entries.size() + 1;
        m_Entries.clear();
        m_Entries.shrink_to_fit();
        m_Recording = false;
        return;
    }
    m_Entries.push_back({Kind, Text});
}
