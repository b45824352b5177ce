#pragma once

#include "RowText.h"
#include "SortStyle.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

// What the built-in comparison needs of one cell, kept with the row's texts until they change.
// One allocation holds it all: the header, the date and number readings for the smart
// comparison only, then the collation key bytes. A million rows keep a million of these, and
// a sort reads each once. A cell fits a sort made under the same settings (Setting) for the
// same column.
class TSortKeyCache final : public TRowTextCache
{
    struct TReadings
    {
        double Date = 0;
        long double Number = 0;
    };

public:
    static std::unique_ptr<TSortKeyCache> Make(const std::string& Key, TAutoSortStyle Style)
    {
        void* place = ::operator new(KeyAt(Style) + Key.size());
        auto* cache = new (place) TSortKeyCache(static_cast<std::uint32_t>(Key.size()), Style);
        if (Style == assSmart)
            new (cache->Readings()) TReadings();
        std::memcpy(cache->KeyBytes(), Key.data(), Key.size());
        return std::unique_ptr<TSortKeyCache>(cache);
    }
    static void operator delete(void* Place) { ::operator delete(Place); }

    bool Fits(std::uint64_t Under, int Column) const
    {
        return Setting == Under && SubItem == Column;
    }
    // Readings of the text under the date settings, for the smart comparison.
    template <typename TRead> void Fill(std::uint64_t Under, int Column, TRead&& Read)
    {
        Setting = Under;
        SubItem = static_cast<std::int16_t>(Column);
        if (TReadings* readings = Readings())
            Read(IsDate, readings->Date, IsNumber, readings->Number);
    }
    std::string_view Key() const { return {KeyBytes(), m_KeySize}; }
    double Date() const { return Style == assSmart ? Readings()->Date : 0; }
    long double Number() const { return Style == assSmart ? Readings()->Number : 0; }

    std::uint64_t Setting = 0;
    std::int16_t SubItem = 0;
    const TAutoSortStyle Style;
    bool IsDate = false;
    bool IsNumber = false;

private:
    TSortKeyCache(std::uint32_t KeySize, TAutoSortStyle Kind) : Style(Kind), m_KeySize(KeySize) {}
    // The readings follow the header at the next place aligned for them; the key follows
    // them, or the header itself where there are none.
    static constexpr std::size_t ReadingsAt()
    {
        return (sizeof(TSortKeyCache) + alignof(TReadings) - 1) / alignof(TReadings) *
               alignof(TReadings);
    }
    static constexpr std::size_t KeyAt(TAutoSortStyle Style)
    {
        return Style == assSmart ? ReadingsAt() + sizeof(TReadings) : sizeof(TSortKeyCache);
    }
    TReadings* Readings()
    {
        return Style == assSmart
                   ? reinterpret_cast<TReadings*>(reinterpret_cast<char*>(this) + ReadingsAt())
                   : nullptr;
    }
    const TReadings* Readings() const { return const_cast<TSortKeyCache*>(this)->Readings(); }
    char* KeyBytes() { return reinterpret_cast<char*>(this) + KeyAt(Style); }
    const char* KeyBytes() const { return reinterpret_cast<const char*>(this) + KeyAt(Style); }

    std::uint32_t m_KeySize;
};
