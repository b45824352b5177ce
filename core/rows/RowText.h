#pragma once

#include "ChunkArena.h"
#include "ReadAhead.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Room for the text blocks of many rows made at once (a loaded file): a block edited later is
// made anew outside it.
using TRowTextArena = TChunkArena;

// Something a client keeps beside a row's texts (a sort key, say); dropped with the texts.
// A client tells its own kind by its type: a million rows may keep one each, so it holds
// nothing else.
class TRowTextCache
{
public:
    virtual ~TRowTextCache() = default;
};

// The texts of one list row (caption, then sub-items) in a single shared, immutable block.
// Copies share the block, so a list that shows copies of another list's rows costs no text.
class TRowText
{
public:
    TRowText() = default;
    TRowText(const TRowText& Other) noexcept;
    TRowText(TRowText&& Other) noexcept : m_Block(Other.m_Block) { Other.m_Block = nullptr; }
    TRowText& operator=(TRowText Other) noexcept;
    ~TRowText();

    // Field 0 is the caption, fields 1.. are the sub-items.
    static TRowText FromFields(const std::vector<std::string_view>& Fields);
    // The fields of a line split at TABs, as many as given (missing ones empty); the block
    // comes from Arena when one is given.
    static TRowText FromTabbedLine(std::string_view Line, int FieldCount,
                                   TRowTextArena* Arena = nullptr);

    int FieldCount() const;
    std::string_view Field(int Index) const; // empty beyond the last field
    std::string_view Caption() const { return Field(0); }
    int SubItemCount() const { return FieldCount() > 0 ? FieldCount() - 1 : 0; }
    std::string_view SubItem(int Index) const
    {
        return Index < 0 ? std::string_view() : Field(Index + 1);
    }

    // Fields 0 to Count - 1 with one separator between them (missing ones empty), as a line
    // of a file: JoinedSize bytes, which CopyJoined writes at To and returns their end. A save
    // writes a million of them into room made beforehand.
    std::size_t JoinedSize(int Count) const;
    char* CopyJoined(char* To, char Separator, int Count) const;

    TRowText WithField(int Index, std::string_view Text) const; // grows with empty fields
    TRowText WithSubItems(const std::vector<std::string>& SubItems) const;
    TRowText WithoutField(int Index) const;

    TRowTextCache* Cache() const;
    void SetCache(std::unique_ptr<TRowTextCache> Cache) const;

    // Ask the processor for the texts, and for their cache once the texts are at hand, ahead
    // of a pass over many rows: each is a memory access a pass would otherwise wait for.
    void ReadAhead() const
    {
        // A row's block (header, field ends, bytes) is mostly 60 to 100 bytes: two lines.
        if (!m_Block)
            return; // a row without texts
        ::ReadAhead::Ask(m_Block);
        ::ReadAhead::Ask(reinterpret_cast<const char*>(m_Block) + 64);
    }
    void ReadAheadCache() const;

    bool SharesWith(const TRowText& Other) const { return m_Block == Other.m_Block; }
    // How many copies hold these texts (0 for none).
    std::uint32_t Holders() const;

    // A list built anew from the same texts it held (a view filtered otherwise) need not count
    // the holders of the texts that stay, which would touch a million texts: each copy that
    // goes leaves its hold behind (Leave), for a copy of the same texts to take it over
    // (TakeOver). A hold left and never taken over keeps the texts for good; one taken over
    // twice lets go of them while another still holds them.
    void Leave() noexcept { m_Block = nullptr; }
    static TRowText TakeOver(const TRowText& Texts) noexcept { return TRowText(Texts.m_Block); }
    std::size_t ByteSize() const;

private:
    struct TBlock;
    explicit TRowText(TBlock* Block) : m_Block(Block) {}
    static TRowText Build(std::span<const std::string_view> Fields, TRowTextArena* Arena);

    TBlock* m_Block = nullptr;
};
