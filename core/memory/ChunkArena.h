#pragma once

#include <cstddef>
#include <cstdint>

// Room for many small blocks made one after another (the rows of a list, their texts), handed
// out side by side from chunks: a million blocks cost a few dozen allocations, and a pass in
// the order they were made reads memory in order. A chunk goes when the last block in it goes,
// so blocks outlive the arena. A block finds its chunk from its own address: every chunk starts
// at a multiple of kAlign, and carries the tag its arena was given. A full-size chunk that empties
// while its arena lives is kept for the arena's next blocks, up to kSpareChunks of them: a list
// emptied and filled again (a view rebuilt) does not give its memory back and take it anew,
// paying for every page to be cleared once more; the chunk being filled, once empty, is filled
// again from its start. While an arena fills full-size chunks, the next one is mapped ahead and
// its pages asked for on another thread (PageFiller), so that the filling does not wait for the
// system to clear them.
class TChunkArena
{
public:
    static constexpr std::size_t kAlign = std::size_t(1) << 21;
    // The longest block an arena hands out.
    static constexpr std::size_t kLongest = std::size_t(1) << 14;
    // Emptied full-size chunks kept for reuse: room for a million and a half rows of a list.
    static constexpr std::size_t kSpareChunks = 32;

    explicit TChunkArena(void* Tag = nullptr) : m_Tag(Tag) {}
    TChunkArena(const TChunkArena&) = delete;
    TChunkArena& operator=(const TChunkArena&) = delete;
    ~TChunkArena();

    // Many blocks, Bytes in all, are coming (a long list's rows): if they fill a full-size
    // chunk, the chunks made from now on are full-size at once, not doubled up to it from small,
    // so that a list emptied and filled again finds all of its room among the chunks it kept.
    void Expect(std::size_t Bytes) { m_Long = m_Long || Bytes >= kAlign; }
    // Room for a block of Size bytes (up to kLongest), aligned to eight; null when refused.
    void* Allocate(std::size_t Size);
    // A block from an arena has gone.
    static void Release(void* Block);
    // The tag of the arena that Block came from.
    static void* TagOf(const void* Block);

private:
    struct TChunk;
    struct TArenaLink;
    static TChunk* ChunkOf(const void* Block);
    TChunk* NewChunk(std::size_t Size);
    // A full-size chunk where no spare is kept: the one mapped ahead, else a fresh one; the
    // next is then mapped ahead.
    void* FullSizeChunk();
    bool KeepSpare(TChunk* Chunk);
    void* m_Tag;
    TArenaLink* m_Link = nullptr;
    TChunk* m_Chunk = nullptr;
    std::size_t m_Used = 0;
    TChunk* m_Spare = nullptr;
    void* m_Ahead = nullptr; // a full-size chunk mapped, its pages asked for, not yet used
    std::size_t m_SpareCount = 0;
    bool m_Long = false;
};
