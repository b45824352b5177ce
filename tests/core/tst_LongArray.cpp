// Arrays of something per row: what is put in stays as it was while the array grows from the
// heap into large pages and shrinks back, and the pages of a long array are whole large pages.
#include "LongArray.h"

#include <QtTest>

#include <cstdint>

class TestLongArray : public QObject
{
    Q_OBJECT

private slots:
    void Elements_keepTheirValuesAcrossEveryKindOfRoom_data()
    {
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("ShrinkTo");
        // 131072 eight-byte elements fill exactly one megabyte.
        QTest::newRow("short, heap only") << 1000 << 10;
        QTest::newRow("one short of a megabyte") << 131071 << 5;
        QTest::newRow("exactly a megabyte") << 131072 << 131071;
        QTest::newRow("grown past a large page, shrunk to the heap") << 700000 << 100;
        QTest::newRow("a million rows, shrunk within the pages") << 1000000 << 600000;
    }
    void Elements_keepTheirValuesAcrossEveryKindOfRoom()
    {
        QFETCH(int, Count);
        QFETCH(int, ShrinkTo);
        TLongArray<std::uint64_t> array;
        for (int i = 0; i < Count; ++i)
            array.push_back(std::uint64_t(i) * 2654435761u);
        array.resize(std::size_t(ShrinkTo));
        array.shrink_to_fit();
        QCOMPARE(array.size(), std::size_t(ShrinkTo));
        for (int i = 0; i < ShrinkTo; ++i)
            QCOMPARE(array[std::size_t(i)], std::uint64_t(i) * 2654435761u);
    }

    void LongArrays_startOnALargePage()
    {
        if (PageMap::kWatched)
            QSKIP("under the address sanitizer arrays come from its heap");
        TLongArray<char> array(std::size_t(3) << 20);
        QCOMPARE(reinterpret_cast<std::uintptr_t>(array.data()) % PageMap::kLargePage,
                 std::uintptr_t(0));
        array.back() = 'x'; // the room reaches the end
        QCOMPARE(array.back(), 'x');
    }

    void Room_letGoOfLast_isTakenAgainBySameSizeOnly_data()
    {
        QTest::addColumn<int>("AgainMiB");
        QTest::addColumn<bool>("Same");
        QTest::newRow("same size") << 3 << true;
        QTest::newRow("larger") << 5 << false;
        QTest::newRow("smaller") << 1 << false;
    }
    // A list sorted again moves its rows into an array as long as the one it let go of.
    void Room_letGoOfLast_isTakenAgainBySameSizeOnly()
    {
        if (PageMap::kWatched)
            QSKIP("under the address sanitizer no room is used again");
        QFETCH(int, AgainMiB);
        QFETCH(bool, Same);
        const void* last = nullptr;
        {
            TLongArray<char> kept(std::size_t(3) << 20);
            TLongArray<char> before(std::size_t(3) << 20); // let go of first: its room is not kept
            last = kept.data();
            std::fill(before.begin(), before.end(), 'b');
        }
        TLongArray<char> again(std::size_t(AgainMiB) << 20);
        QCOMPARE(again.data() == last, Same);
        again.back() = 'x';
        QCOMPARE(again.back(), 'x');
    }
};

QTEST_GUILESS_MAIN(TestLongArray)
#include "tst_LongArray.moc"
