#include "RowText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

struct TRowText::TBlock
{
    std::uint32_t Refs : 31;
    std::uint32_t InArena : 1;
    // The count of holders stands apart from what tells the fields: a row may let go of its
    // texts on one thread while another reads them through a row of another list.
    std::uint32_t : 0;
    std::uint32_t Count : 31;
    // Whether the fields' ends take two bytes each: a row's texts are short, and a million
    // rows save sixteen bytes each.
    std::uint32_t Narrow : 1;
    mutable TRowTextCache* Cache;
    // Followed by the end of each field (Count numbers of two or four bytes), then the bytes
    // of all fields back to back.
    std::uint32_t End(std::uint32_t Index) const
    {
        return Narrow ? reinterpret_cast<const std::uint16_t*>(this + 1)[Index]
                      : reinterpret_cast<const std::uint32_t*>(this + 1)[Index];
    }
    std::uint32_t Start(std::uint32_t Index) const { return Index > 0 ? End(Index - 1) : 0; }
    const char* Bytes() const
    {
        return reinterpret_cast<const char*>(this + 1) + Count * (Narrow ? 2u : 4u);
    }
    char* Bytes() { return reinterpret_cast<char*>(this + 1) + Count * (Narrow ? 2u : 4u); }
    void SetEnd(std::uint32_t Index, std::uint32_t End)
    {
        if (Narrow)
            reinterpret_cast<std::uint16_t*>(this + 1)[Index] = static_cast<std::uint16_t>(End);
        else
            reinterpret_cast<std::uint32_t*>(this + 1)[Index] = End;
    }
};

TRowText::TRowText(const TRowText& Other) noexcept : m_Block(Other.m_Block)
{
    if (m_Block)
        ++m_Block->Refs;
}

TRowText& TRowText::operator=(TRowText Other) noexcept
{
    std::swap(m_Block, Other.m_Block);
    return *this;
}

TRowText::~TRowText()
{
    if (m_Block && --m_Block->Refs == 0) {
        delete m_Block->Cache;
        if (m_Block->InArena)
            TChunkArena::Release(m_Block);
        else
            ::operator delete(m_Block);
    }
}

std::uint32_t TRowText::Holders() const
{
    return m_Block ? m_Block->Refs : 0;
}

TRowText TRowText::Build(std::span<const std::string_view> Fields, TRowTextArena* Arena)
{
    if (Fields.empty())
        return TRowText();
    std::size_t bytes = 0;
    for (auto f : Fields)
        bytes += f.size();
    if (bytes > 0xFFFFFFF0u || Fields.size() > 0x7FFFFFFFu)
        throw std::length_error("row text too long");
    const std::size_t count = Fields.size();
    const bool narrow = bytes <= 0xFFFFu;
    const std::size_t size = sizeof(TBlock) + count * (narrow ? 2 : 4) + bytes;
    static_assert(alignof(TBlock) <= 8);
    void* room = Arena ? Arena->Allocate(size) : nullptr;
    auto* block = static_cast<TBlock*>(room ? room : ::operator new(size));
    block->Refs = 1;
    block->InArena = room != nullptr;
    block->Count = static_cast<std::uint32_t>(count);
    block->Narrow = narrow;
    block->Cache = nullptr;
    char* out = block->Bytes();
    std::uint32_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!Fields[i].empty())
            std::memcpy(out + pos, Fields[i].data(), Fields[i].size());
        pos += static_cast<std::uint32_t>(Fields[i].size());
        block->SetEnd(static_cast<std::uint32_t>(i), pos);
    }
    return TRowText(block);
}

TRowText TRowText::FromFields(const std::vector<std::string_view>& Fields)
{
    return Build(Fields, nullptr);
}

TRowText TRowText::FromTabbedLine(std::string_view Line, int FieldCount, TRowTextArena* Arena)
{
    // A line of the data file has a handful of fields: their views live on the stack, so
    // that the block of texts is the line's only allocation.
    constexpr int kOnStack = 16;
    // Left unset: every field in use is set below, and clearing the rest for each of a
    // million lines was a fifth of a load.
    union TOnStack {
        TOnStack() {}
        std::string_view Views[kOnStack];
    } onStack;
    std::vector<std::string_view> onHeap;
    const std::size_t count = static_cast<std::size_t>(std::max(0, FieldCount));
    if (FieldCount > kOnStack)
        onHeap.resize(count);
    const std::span<std::string_view> fields =
        FieldCount > kOnStack ? std::span<std::string_view>(onHeap)
                              : std::span<std::string_view>(onStack.Views, count);
    // The tabs are found sixteen bytes at a time: a line's fields are a few bytes each, and
    // a search per field would cost more than the bytes it reads.
    const char* data = Line.data();
    const std::size_t size = Line.size();
    std::size_t field = 0;
    std::size_t start = 0;
    auto tabAt = [&](std::size_t Tab) {
        fields[field++] = Line.substr(start, Tab - start);
        start = Tab + 1;
    };
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i tabs = _mm_set1_epi8('\t');
    for (; i + 16 <= size && field < count; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tabs)));
             mask != 0 && field < count; mask &= mask - 1)
            tabAt(i + static_cast<std::size_t>(__builtin_ctz(mask)));
    }
#endif
    for (; i < size && field < count; ++i)
        if (data[i] == '\t')
            tabAt(i);
    if (field < count)
        fields[field++] = Line.substr(start); // the last field runs to the end of the line
    for (; field < count; ++field)
        fields[field] = {};
    return Build(fields, Arena);
}

int TRowText::FieldCount() const
{
    return m_Block ? static_cast<int>(m_Block->Count) : 0;
}

std::string_view TRowText::Field(int Index) const
{
    if (!m_Block || Index < 0 || static_cast<std::uint32_t>(Index) >= m_Block->Count)
        return {};
    const auto index = static_cast<std::uint32_t>(Index);
    const std::uint32_t start = m_Block->Start(index);
    return std::string_view(m_Block->Bytes() + start, m_Block->End(index) - start);
}

std::size_t TRowText::JoinedSize(int Count) const
{
    if (Count <= 0)
        return 0;
    const int have = std::min(FieldCount(), Count);
    const std::size_t bytes = have > 0 ? m_Block->End(static_cast<std::uint32_t>(have - 1)) : 0;
    return bytes + static_cast<std::size_t>(Count - 1);
}

char* TRowText::CopyJoined(char* To, char Separator, int Count) const
{
    const int have = std::min(FieldCount(), Count);
    const char* bytes = have > 0 ? m_Block->Bytes() : nullptr;
    std::uint32_t start = 0;
    for (int i = 0; i < Count; ++i) {
        if (i > 0)
            *To++ = Separator;
        if (i < have) {
            const std::uint32_t end = m_Block->End(static_cast<std::uint32_t>(i));
            std::memcpy(To, bytes + start, end - start);
            To += end - start;
            start = end;
        }
    }
    return To;
}

TRowText TRowText::WithField(int Index, std::string_view Text) const
{
    if (Index < 0)
        return *this;
    const int count = std::max(FieldCount(), Index + 1);
    std::vector<std::string_view> fields(static_cast<std::size_t>(count));
    for (int i = 0; i < FieldCount(); ++i)
        fields[static_cast<std::size_t>(i)] = Field(i);
    // Text may point into this block; Build copies before the old block can go.
    fields[static_cast<std::size_t>(Index)] = Text;
    return Build(fields, nullptr);
}

TRowText TRowText::WithSubItems(const std::vector<std::string>& SubItems) const
{
    std::vector<std::string_view> fields;
    fields.reserve(SubItems.size() + 1);
    fields.push_back(Caption());
    for (const auto& s : SubItems)
        fields.emplace_back(s);
    return Build(fields, nullptr);
}

TRowText TRowText::WithoutField(int Index) const
{
    if (Index < 0 || Index >= FieldCount())
        return *this;
    std::vector<std::string_view> fields;
    for (int i = 0; i < FieldCount(); ++i)
        if (i != Index)
            fields.push_back(Field(i));
    return Build(fields, nullptr);
}

TRowTextCache* TRowText::Cache() const
{
    return m_Block ? m_Block->Cache : nullptr;
}

void TRowText::ReadAheadCache() const
{
    if (m_Block)
        ::ReadAhead::Ask(m_Block->Cache);
}

void TRowText::SetCache(std::unique_ptr<TRowTextCache> Cache) const
{
    if (!m_Block)
        return;
    delete m_Block->Cache;
    m_Block->Cache = Cache.release();
}

std::size_t TRowText::ByteSize() const
{
    return m_Block && m_Block->Count > 0 ? m_Block->End(m_Block->Count - 1) : 0;
}
