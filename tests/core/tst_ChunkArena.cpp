// Room for the rows of a list: a long list stands in full-size chunks from its first row when
// the arena is told it is coming.
#include "ChunkArena.h"

#include <QtTest>

#include <cstdint>
#include <set>
#include <vector>

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
};

QTEST_GUILESS_MAIN(TestChunkArena)
#include "tst_ChunkArena.moc"
