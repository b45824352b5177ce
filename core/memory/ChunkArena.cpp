#include "ChunkArena.h"

#include "PageFiller.h"
#include "PageMap.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

struct TChunkArena::TChunk
{
    std::uint32_t Live; // blocks in it, plus one while the arena still fills it
    std::uint32_t Size;
    void* Tag;
    TArenaLink* Link;
    TChunk* NextSpare;
};

// What a chunk knows of its arena, which may go before the chunk does: the arena while it
// lives, counted by the arena and each chunk.
struct TChunkArena::TArenaLink
{
    TChunkArena* Arena;
    std::size_t Refs;
};

namespace {

// Blocks hold pointers and numbers of up to eight bytes.
constexpr std::size_t kBlockAlign = 8;
constexpr std::size_t kChunkHeader = 32; // the chunk's header, rounded up to kBlockAlign

// Chunks are taken from the system directly: the C library's aligned allocations may each be
// rounded up to a large page and paid for in full. A full-size chunk is one large page where
// the system has them: a million rows fault a few dozen times, not tens of thousands. A
// smaller one (a short list's) is filled from end to end, and is given its pages at once.
void* MapChunk(std::size_t Size)
{
    return PageMap::Map(Size, TChunkArena::kAlign, true);
}

void UnmapChunk(void* Chunk, std::size_t Size)
{
    PageMap::Unmap(Chunk, Size);
}

// Under the address sanitizer no chunk is used again: a block used after it went must show.
constexpr bool kReuseChunks = !PageMap::kWatched;
// Nor are pages asked for ahead: the sanitizer's heap hands out the chunks.
constexpr bool kFillAhead = !PageMap::kWatched;

} // namespace

TChunkArena::~TChunkArena()
{
    if (m_Ahead) {
        PageFiller::Forget(m_Ahead);
        UnmapChunk(m_Ahead, kAlign);
    }
    while (m_Spare) {
        TChunk* spare = std::exchange(m_Spare, m_Spare->NextSpare);
        --m_Link->Refs;
        UnmapChunk(spare, spare->Size);
    }
    if (m_Link) {
        m_Link->Arena = nullptr;
        if (--m_Link->Refs == 0)
            delete m_Link;
    }
    if (m_Chunk)
        Release(m_Chunk);
}

TChunkArena::TChunk* TChunkArena::NewChunk(std::size_t Size)
{
    if (!m_Link)
        m_Link = new (std::nothrow) TArenaLink{this, 1};
    if (!m_Link)
        return nullptr;
    TChunk* chunk = nullptr;
    if (Size == kAlign && m_Spare) {
        chunk = std::exchange(m_Spare, m_Spare->NextSpare);
        --m_SpareCount;
    } else {
        chunk = static_cast<TChunk*>(Size == kAlign ? FullSizeChunk() : MapChunk(Size));
        if (!chunk)
            return nullptr;
        ++m_Link->Refs;
    }
    *chunk = {1, static_cast<std::uint32_t>(Size), m_Tag, m_Link, nullptr};
    return chunk;
}

void* TChunkArena::FullSizeChunk()
{
    void* chunk = std::exchange(m_Ahead, nullptr);
    if (!chunk)
        chunk = MapChunk(kAlign);
    // One full-size chunk filled foretells another: its pages are asked for now, on another
    // thread, while this one fills. Where none can be had, the next is mapped when needed.
    if (chunk && kFillAhead) {
        m_Ahead = MapChunk(kAlign);
        PageFiller::Fill(m_Ahead, kAlign);
    }
    return chunk;
}

void* TChunkArena::Allocate(std::size_t Size)
{
    static_assert(sizeof(TChunk) <= kChunkHeader);
    Size = (Size + kBlockAlign - 1) & ~(kBlockAlign - 1);
    if (Size > kLongest)
        return nullptr;
    if (!m_Chunk || m_Used + Size > m_Chunk->Size) {
        // Small at first, so that a short list costs little; then doubling to a large page.
        const std::size_t size = m_Long    ? kAlign
                                 : m_Chunk ? std::min<std::size_t>(2 * m_Chunk->Size, kAlign)
                                           : std::size_t(1) << 16;
        TChunk* chunk = NewChunk(size);
        if (!chunk)
            return nullptr;
        if (m_Chunk)
            Release(m_Chunk);
        m_Chunk = chunk;
        m_Used = kChunkHeader;
    }
    void* block = reinterpret_cast<char*>(m_Chunk) + m_Used;
    m_Used += Size;
    ++m_Chunk->Live;
    return block;
}

bool TChunkArena::KeepSpare(TChunk* Chunk)
{
    if (!kReuseChunks || Chunk->Size != kAlign || m_SpareCount >= kSpareChunks)
        return false;
    Chunk->NextSpare = m_Spare;
    m_Spare = Chunk;
    ++m_SpareCount;
    return true;
}

void TChunkArena::Release(void* Block)
{
    TChunk* chunk = ChunkOf(Block);
    if (--chunk->Live > 1)
        return;
    TArenaLink* link = chunk->Link;
    if (chunk->Live == 1) {
        // The chunk being filled has emptied: it is filled again from its start.
        if (link->Arena && link->Arena->m_Chunk == chunk)
            link->Arena->m_Used = kChunkHeader;
        return;
    }
    if (link->Arena && link->Arena->KeepSpare(chunk))
        return;
    UnmapChunk(chunk, chunk->Size);
    if (--link->Refs == 0)
        delete link;
}

void* TChunkArena::TagOf(const void* Block)
{
    return ChunkOf(Block)->Tag;
}

TChunkArena::TChunk* TChunkArena::ChunkOf(const void* Block)
{
    return reinterpret_cast<TChunk*>(reinterpret_cast<std::uintptr_t>(Block) &
                                     ~(std::uintptr_t(kAlign) - 1));
}
