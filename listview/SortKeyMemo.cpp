#include "SortKeyMemo.h"

#include "Locale.h"

#include <algorithm>
#include <cstring>
#include <new>

void TSortKeyMemo::Reset()
{
    m_Keys = {};
    m_Recent = {};
    m_Asked = m_Found = 0;
    m_Chunks.clear();
    m_Used = kChunk;
    m_Maker.reset();
    m_Ranks = nullptr;
}

bool TSortKeyMemo::OwnCollation()
{
    try {
        m_Maker = std::make_unique<TTextKeyMaker>();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void TSortKeyMemo::Make(std::string_view Text, std::string& Key)
{
    if (m_Ranks)
        m_Ranks->Make(Text, Key);
    else if (m_Maker)
        m_Maker->Make(Text, Key);
    else
        Locale::TextSortKey(Text, Key);
}

const std::string* TSortKeyMemo::Shared(std::string_view Text)
{
    if (GivenUp())
        return nullptr;
    ++m_Asked;
    const std::size_t n = Text.size();
    const auto end = [&](std::size_t At) {
        return std::size_t(static_cast<unsigned char>(Text[At]));
    };
    TRecent& recent =
        m_Recent[(n ? n * 29 + end(0) * 7 + end(n - 1) + end(n / 2) * 3 : 0) % kRecent];
    if (recent.Key && recent.Text == Text) {
        ++m_Found;
        return recent.Key;
    }
    if (const auto it = m_Keys.find(Text); it != m_Keys.end()) {
        ++m_Found;
        recent = {it->first, &it->second};
        return &it->second;
    }
    if (m_Keys.size() >= kMostTexts)
        return nullptr;
    const auto made = m_Keys.emplace(Text, std::string()).first;
    Make(Text, made->second);
    recent = {made->first, &made->second};
    return &made->second;
}

int TSortKeyMemo::Compare(std::string_view Left, std::string_view Right)
{
    return m_Maker ? m_Maker->Compare(Left, Right) : Locale::CompareText(Left, Right);
}

void TSortKeyMemo::KeyOf(std::string_view Text, std::string& Key)
{
    if (const std::string* shared = Shared(Text))
        Key = *shared;
    else
        Make(Text, Key);
}

std::string_view TSortKeyMemo::Kept(std::string_view Text, std::size_t Lasting, const char*& Tail)
{
    if (const std::string* shared = Shared(Text)) {
        Tail = shared->data() + std::min(Lasting, shared->size());
        return *shared;
    }
    Make(Text, m_Scratch);
    Tail = nullptr;
    if (m_Scratch.size() <= Lasting)
        return m_Scratch;
    const std::size_t size = m_Scratch.size() - Lasting;
    const bool alone = size > kChunk / 4; // a long key has a chunk to itself
    if (alone || m_Used + size > kChunk) {
        m_Chunks.push_back(std::make_unique_for_overwrite<char[]>(alone ? size : kChunk));
        m_Used = 0;
    }
    char* room = m_Chunks.back().get() + m_Used;
    std::memcpy(room, m_Scratch.data() + Lasting, size);
    m_Used = alone ? kChunk : m_Used + size; // after a long key, a fresh chunk
    Tail = room;
    return m_Scratch;
}
