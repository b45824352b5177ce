// Room for the rows of a list: a long list stands in full-size chunks from its first row when
// the arena is told it is coming.
#include "ChunkArena.h"
#include "PageFiller.h"
#include "PageMap.h"

#include <QtTest>

#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

// Whether the system holds the page of Address now.
bool Resident(const void* Address)
{
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    unsigned char held = 0;
    const auto start = reinterpret_cast<std::uintptr_t>(Address) & ~(page - 1);
    return ::mincore(reinterpret_cast<void*>(start), page, &held) == 0 && (held & 1) != 0;
}

// Whether this system can be asked for a block's pages ahead (older ones refuse).
bool CanFillAhead()
{
    void* probe = PageMap::Map(4096, 4096, false);
    const bool can = ::madvise(probe, 4096, MADV_POPULATE_WRITE) == 0;
    PageMap::Unmap(probe, 4096);
    return can;
}

} // namespace

class TestChunkArena : public QObject
{
    Q_OBJECT

private slots:
    // A list told how long it is going to be stands in full-size chunks from its first row,
    // which a list emptied and filled again finds among those it kept; one not told starts
    // small, in chunks that go back to the system when emptied.
    void LongList_standsInFullSizeChunksWhenToldSo_data()
    {
        QTest::addColumn<bool>("told");
        QTest::newRow("told") << true;
        QTest::newRow("not told") << false;
    }
    void LongList_standsInFullSizeChunksWhenToldSo()
    {
        QFETCH(bool, told);
        constexpr std::size_t kRows = 120000;
        constexpr std::size_t kRow = 40;
        TChunkArena arena;
        if (told)
            arena.Expect(kRows * kRow);
        std::vector<void*> blocks;
        std::set<std::uintptr_t> chunks;
        for (std::size_t i = 0; i < kRows; ++i) {
            blocks.push_back(arena.Allocate(kRow));
            QVERIFY(blocks.back());
            chunks.insert(reinterpret_cast<std::uintptr_t>(blocks.back()) / TChunkArena::kAlign);
        }
        const std::size_t fullSize = (kRows * kRow + TChunkArena::kAlign - 1) / TChunkArena::kAlign;
        if (told)
            QCOMPARE(chunks.size(), fullSize);
        else
            QVERIFY(chunks.size() > fullSize);
        for (void* block : blocks)
            TChunkArena::Release(block);
    }

    // Pages asked for ahead are there when the block is first written, and what was written
    // before stays as it was.
    void Fill_bringsThePagesInAndChangesNoByte()
    {
        if (PageMap::kWatched || !CanFillAhead())
            QSKIP("blocks come from the sanitizer's heap, or the system cannot fill ahead");
        constexpr std::size_t kSize = std::size_t(1) << 20;
        auto* block = static_cast<unsigned char*>(PageMap::Map(kSize, 4096, false));
        QVERIFY(block);
        std::memcpy(block, "Dyskar", 6);
        QVERIFY(!Resident(block + kSize - 1));
        PageFiller::Fill(block, kSize);
        PageFiller::Settle();
        for (std::size_t at = 0; at < kSize; at += 4096)
            QVERIFY(Resident(block + at));
        QCOMPARE(std::memcmp(block, "Dyskar", 6), 0);
        QCOMPARE(block[kSize - 1], 0);
        PageMap::Unmap(block, kSize);
    }

    // A long list's next chunk has its pages before the list reaches it; an arena that goes
    // with a chunk mapped ahead gives it back.
    void LongList_findsItsNextChunkFilledAhead()
    {
        if (PageMap::kWatched || !CanFillAhead())
            QSKIP("blocks come from the sanitizer's heap, or the system cannot fill ahead");
        // In small pages, so that a chunk's first block does not bring in the whole chunk.
        ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
        constexpr std::size_t kRow = 4096;
        std::vector<void*> blocks;
        {
            TChunkArena arena;
            arena.Expect(8 * TChunkArena::kAlign);
            blocks.push_back(arena.Allocate(kRow));
            const auto first = reinterpret_cast<std::uintptr_t>(blocks[0]) / TChunkArena::kAlign;
            PageFiller::Settle();
            while (reinterpret_cast<std::uintptr_t>(blocks.back()) / TChunkArena::kAlign == first)
                blocks.push_back(arena.Allocate(kRow));
            const auto next = reinterpret_cast<std::uintptr_t>(blocks.back()) &
                              ~std::uintptr_t(TChunkArena::kAlign - 1);
            QVERIFY(Resident(reinterpret_cast<void*>(next + TChunkArena::kAlign - 1)));
        }
        for (void* block : blocks)
            TChunkArena::Release(block);
        ::prctl(PR_SET_THP_DISABLE, 0, 0, 0, 0);
    }
};

QTEST_GUILESS_MAIN(TestChunkArena)
#include "tst_ChunkArena.moc"
