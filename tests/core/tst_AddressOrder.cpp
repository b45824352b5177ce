// Blocks visited in the order they stand in memory: each once, lowest address first, and those
// spread too thin for the marks kept aside and visited last, in the order given.
#include "AddressOrder.h"

#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

namespace {

constexpr std::uintptr_t kRegion = std::uintptr_t(1) << 21;

std::vector<const void*> Visited(const std::vector<std::uintptr_t>& Addresses)
{
    TAddressOrder order(Addresses.size());
    for (const std::uintptr_t address : Addresses)
        order.Add(reinterpret_cast<const void*>(address));
    std::vector<const void*> visited;
    order.ForEach([&](void* Block) { visited.push_back(Block); });
    return visited;
}

} // namespace

class TestAddressOrder : public QObject
{
    Q_OBJECT

private slots:
    void Blocks_areVisitedOnceLowestFirst_data()
    {
        QTest::addColumn<int>("Count");
        QTest::addColumn<int>("Regions");
        QTest::addColumn<int>("Stride");
        QTest::addColumn<bool>("AllInOrder");
        // Rows of forty bytes made one after another, then shuffled by a sort.
        QTest::newRow("one region") << 40000 << 1 << 40 << true;
        QTest::newRow("regions far apart") << 60000 << 6 << 48 << true;
        QTest::newRow("blocks eight bytes apart") << 20000 << 2 << 8 << true;
        // Two blocks to a region: too thin for the marks; most are kept aside.
        QTest::newRow("spread thin") << 20000 << 10000 << 64 << false;
        QTest::newRow("too few to mark") << 100 << 1 << 40 << false;
    }
    void Blocks_areVisitedOnceLowestFirst()
    {
        QFETCH(int, Count);
        QFETCH(int, Regions);
        QFETCH(int, Stride);
        QFETCH(bool, AllInOrder);
        // Regions three apart, the last region first, the blocks of each from its very start.
        const std::uintptr_t base = std::uintptr_t(0x7f0000000000);
        std::vector<std::uintptr_t> addresses;
        for (int i = 0; i < Count; ++i) {
            const int region = Regions - 1 - i % Regions;
            addresses.push_back(base + std::uintptr_t(region) * 3 * kRegion +
                                std::uintptr_t(i / Regions) * std::uintptr_t(Stride));
        }
        std::shuffle(addresses.begin(), addresses.end(), std::mt19937(7));
        const std::vector<const void*> visited = Visited(addresses);

        std::vector<const void*> expected;
        for (const std::uintptr_t address : addresses)
            expected.push_back(reinterpret_cast<const void*>(address));
        std::vector<const void*> sorted = visited;
        std::sort(sorted.begin(), sorted.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(sorted, expected); // each once
        // An ascending run, then those kept aside in the order given.
        const auto runEnd = std::is_sorted_until(visited.begin(), visited.end());
        if (AllInOrder)
            QVERIFY(runEnd == visited.end());
        const std::vector<const void*> aside(runEnd, visited.end());
        const std::set<const void*> asideSet(aside.begin(), aside.end());
        std::vector<const void*> given;
        for (const std::uintptr_t address : addresses)
            if (asideSet.count(reinterpret_cast<const void*>(address)))
                given.push_back(reinterpret_cast<const void*>(address));
        QCOMPARE(aside, given);
    }

    // One order used again (a list let go of after another): only the blocks of this use are
    // visited, though the room and the regions are those of the use before.
    void Blocks_ofAnOrderUsedAgain_areThoseAddedSince()
    {
        const std::uintptr_t base = std::uintptr_t(0x7f0000000000);
        TAddressOrder order;
        std::vector<void*> visited;
        // Too few to mark (all kept aside), then marked in the same regions twice.
        for (const auto& [count, stride] : {std::pair{100, 64}, {30000, 40}, {30000, 48}}) {
            order.Start(std::size_t(count));
            for (std::uintptr_t i = std::uintptr_t(count); i-- > 0;)
                order.Add(reinterpret_cast<const void*>(base + i * std::uintptr_t(stride)));
            visited.clear();
            order.ForEach([&](void* Block) { visited.push_back(Block); });
            QCOMPARE(visited.size(), std::size_t(count));
            const std::uintptr_t last = base + std::uintptr_t(count - 1) * std::uintptr_t(stride);
            // Marked: lowest first; kept aside: as given, highest first here.
            QCOMPARE(std::min(visited.front(), visited.back()), reinterpret_cast<void*>(base));
            QCOMPARE(std::max(visited.front(), visited.back()), reinterpret_cast<void*>(last));
            QVERIFY(std::is_sorted(visited.begin(), visited.end()) ||
                    std::is_sorted(visited.rbegin(), visited.rend()));
        }
    }
};

QTEST_GUILESS_MAIN(TestAddressOrder)
#include "tst_AddressOrder.moc"
