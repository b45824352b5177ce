#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

// The bytes of one piece of an output: room that grows without being cleared first, since
// whoever asks for room writes every byte of it.
class TPieceBuffer
{
public:
    // Room for at least Bytes more at the end; MarkWritten says how much of it was used.
    char* Room(std::size_t Bytes)
    {
        if (m_Capacity - m_Size < Bytes)
            Grow(m_Size + Bytes);
        return m_Data.get() + m_Size;
    }
    void MarkWritten(const char* End) { m_Size = static_cast<std::size_t>(End - m_Data.get()); }
    void Clear() { m_Size = 0; }
    std::string_view View() const { return {m_Data.get(), m_Size}; }

private:
    void Grow(std::size_t Needed)
    {
        const std::size_t capacity = std::max({Needed, 2 * m_Capacity, std::size_t(1) << 16});
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_Size > 0)
            std::memcpy(data.get(), m_Data.get(), m_Size);
        m_Data = std::move(data);
        m_Capacity = capacity;
    }

    std::unique_ptr<char[]> m_Data;
    std::size_t m_Size = 0;
    std::size_t m_Capacity = 0;
};
