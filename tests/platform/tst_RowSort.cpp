// The list control's sorts give exactly what a stable sort gives, whatever the rows' order
// before: at random, already sorted, sorted the other way, or sorted bar a few rows.
#include "ListControl.h"
#include "ListRowSort.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Win;

namespace {

struct TSortData
{
    std::vector<std::string> Keys; // by row id
    bool Descending = false;
    bool CompleteKeys = true;
    int Comparisons = 0;
    int KeysAsked = 0;
    // Where set, a row's key bytes come from here (by row id) instead of its own text: rows
    // of one value share them, as a sorter shares the key of a value met again.
    std::vector<const std::string*> SharedKeys;
    // Keys made on two threads: how many each worker was asked for, whether worker 0 was ever
    // asked off the sorting thread, and which rows' keys cannot be made (every n-th id).
    std::atomic<int> WorkerAsked[2] = {0, 0};
    std::atomic<int> WorkerCompared[2] = {0, 0};
    std::atomic<bool> WorkerOnWrongThread = false;
    std::thread::id Sorter = std::this_thread::get_id();
    int FailKeysEvery = 0;
    // Keys read a word at a time carry this many bytes; every n-th id's cannot be read.
    std::size_t WordBytes = 0;
    int FailWordsEvery = 0;
    std::atomic<int> WordsRead = 0;
};

int Compare(const std::string& A, const std::string& B)
{
    const int c = std::memcmp(A.data(), B.data(), std::min(A.size(), B.size()));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

int CompareRows(LPARAM A, LPARAM B, LPARAM SortParam)
{
    auto* data = reinterpret_cast<TSortData*>(SortParam);
    ++data->Comparisons;
    const int c = Compare(data->Keys[std::size_t(A)], data->Keys[std::size_t(B)]);
    return data->Descending ? -c : c;
}

std::uint64_t Prefix(const std::string& Key, std::size_t From)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = From; i < From + 8; ++i)
        prefix = (prefix << 8) | (i < Key.size() ? static_cast<unsigned char>(Key[i]) : 0u);
    return prefix;
}

void FillKey(const TSortData* data, LPARAM Row, LVSORTKEY& Key)
{
    const std::string& key = data->SharedKeys.empty() ? data->Keys[std::size_t(Row)]
                                                      : *data->SharedKeys[std::size_t(Row)];
    Key.Prefix = Prefix(key, 0);
    if (!data->CompleteKeys)
        return; // the first eight bytes only; the comparison settles ties
    Key.Prefix2 = Prefix(key, 8);
    if (key.size() > 16) {
        Key.Bytes = key.data() + 16;
        Key.Size = static_cast<std::uint32_t>(key.size() - 16);
    }
    // Missing bytes read as zeros: a key with a zero byte of its own may tie where the
    // comparison does not.
    Key.Complete = key.find('\0') == std::string::npos;
}

void Key(LPARAM Row, LPARAM SortParam, LVSORTKEY& Key)
{
    auto* data = reinterpret_cast<TSortData*>(SortParam);
    ++data->KeysAsked;
    if (data->FailKeysEvery > 0 && Row % data->FailKeysEvery == 0)
        throw std::runtime_error("no key");
    FillKey(data, Row, Key);
}

void WorkerKey(LPARAM Row, LPARAM SortParam, int Worker, LVSORTKEY& Key)
{
    auto* data = reinterpret_cast<TSortData*>(SortParam);
    ++data->WorkerAsked[Worker];
    if ((Worker == 0) != (std::this_thread::get_id() == data->Sorter))
        data->WorkerOnWrongThread = true;
    if (data->FailKeysEvery > 0 && Row % data->FailKeysEvery == 0)
        throw std::runtime_error("no key");
    FillKey(data, Row, Key);
}

int WorkerCompareRows(LPARAM A, LPARAM B, LPARAM SortParam, int Worker)
{
    auto* data = reinterpret_cast<TSortData*>(SortParam);
    ++data->WorkerCompared[Worker];
    if ((Worker == 0) != (std::this_thread::get_id() == data->Sorter))
        data->WorkerOnWrongThread = true;
    const int c = Compare(data->Keys[std::size_t(A)], data->Keys[std::size_t(B)]);
    return data->Descending ? -c : c;
}

// A row's key read sixteen bytes at a time: its first WordBytes bytes (none of them 0), the
// rest left to the comparison. State is where the next bytes begin.
bool KeyWords(LPARAM Row, LPARAM SortParam, std::uint32_t& State, std::uint64_t& Word,
              std::uint64_t& Word2)
{
    auto* data = reinterpret_cast<TSortData*>(SortParam);
    ++data->WordsRead;
    if (data->FailWordsEvery > 0 && Row % data->FailWordsEvery == 0) {
        if (Row % (2 * data->FailWordsEvery) == 0)
            throw std::runtime_error("no word");
        return false;
    }
    const std::string& key = data->Keys[std::size_t(Row)];
    const std::size_t end = std::min(key.size(), data->WordBytes);
    Word = State < end ? Prefix(key.substr(0, end), State) : 0;
    Word2 = State + 8 < end ? Prefix(key.substr(0, end), State + 8) : 0;
    State += 16;
    return true;
}

// Letters from byte First on; keys of byte 0 read as incomplete.
std::string RandomKey(std::mt19937& Rng, int Alphabet, int MaxLength, const std::string& Lead,
                      int First = 0)
{
    std::uniform_int_distribution<int> length(std::min(1, MaxLength), MaxLength),
        letter(First, First + Alphabet - 1);
    std::string key = Lead;
    for (int i = length(Rng); i > 0; --i)
        key += char(letter(Rng)); // zero bytes included
    return key;
}

// Rows in the order they stand before the sort, as ids into Keys.
std::vector<int> Shape(const QByteArray& Name, const TSortData& Data, std::mt19937& Rng)
{
    std::vector<int> ids(Data.Keys.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = int(i);
    auto sorted = [&](bool Down) {
        std::stable_sort(ids.begin(), ids.end(), [&](int A, int B) {
            const int c = Compare(Data.Keys[std::size_t(A)], Data.Keys[std::size_t(B)]);
            return Down ? c > 0 : c < 0;
        });
    };
    if (Name == "random")
        std::shuffle(ids.begin(), ids.end(), Rng);
    else if (Name == "sorted")
        sorted(false);
    else if (Name == "reversed")
        sorted(true);
    else if (Name.startsWith("moved") && ids.size() > 2) {
        sorted(false);
        const std::size_t n = ids.size();
        const std::size_t from = Name == "moved down" ? 1 : n - 2;
        const std::size_t to = Name == "moved down" ? n - 1 : 0;
        const int id = ids[from];
        ids.erase(ids.begin() + std::ptrdiff_t(from));
        ids.insert(ids.begin() + std::ptrdiff_t(to), id);
    } else if (Name == "a few changed") {
        sorted(false);
        std::uniform_int_distribution<std::size_t> pick(0, ids.size() - 1);
        for (int i = 0; i < 5; ++i)
            std::swap(ids[pick(Rng)], ids[pick(Rng)]);
    }
    return ids;
}

// Rows carrying the ids, in that order.
ListRowSort::TRows RowsOf(const std::vector<int>& Ids)
{
    ListRowSort::TRows rows;
    for (const int id : Ids) {
        rows.push_back(std::make_unique<TListRow>());
        rows.back()->SetParam(id);
    }
    return rows;
}

std::vector<int> IdsOf(const ListRowSort::TRows& Rows)
{
    std::vector<int> ids;
    for (const auto& row : Rows)
        ids.push_back(int(row->Param()));
    return ids;
}

// What a full stable sort of the ids by Data gives.
std::vector<int> StableOrder(std::vector<int> Ids, TSortData& Data)
{
    std::stable_sort(Ids.begin(), Ids.end(), [&](int A, int B) {
        return CompareRows(A, B, reinterpret_cast<LPARAM>(&Data)) < 0;
    });
    return Ids;
}

// Whether Tied says of each row whether it equals the one before it.
bool TiesMatch(const ListRowSort::TRows& Rows, const ListRowSort::TTies& Tied, TSortData& Data)
{
    for (std::size_t i = 1; i < Rows.size(); ++i)
        if (bool(Tied[i]) != (CompareRows(Rows[i - 1]->Param(), Rows[i]->Param(),
                                          reinterpret_cast<LPARAM>(&Data)) == 0))
            return false;
    return true;
}

LVSORTKEYED KeyedSort(TSortData& Data)
{
    LVSORTKEYED sort;
    sort.Compare = &CompareRows;
    sort.SortParam = reinterpret_cast<LPARAM>(&Data);
    sort.Key = &Key;
    sort.Descending = Data.Descending;
    return sort;
}

} // namespace

class TestRowSort : public QObject
{
    Q_OBJECT
private slots:
    void SortsGiveTheStableOrderFromAnyStart_data();
    void SortsGiveTheStableOrderFromAnyStart();
    void SortedRowsCostNoSort();
    void RowsInOrderCostNoKeys_data();
    void RowsInOrderCostNoKeys();
    void SharedKeysGiveTheStableOrder_data();
    void SharedKeysGiveTheStableOrder();
    void PlacingChangedRowsGivesTheStableOrder_data();
    void PlacingChangedRowsGivesTheStableOrder();
    void KeysMadeOnTwoThreadsGiveTheStableOrder_data();
    void KeysMadeOnTwoThreadsGiveTheStableOrder();
    void KeysReadInWordsGiveTheStableOrder_data();
    void KeysReadInWordsGiveTheStableOrder();
    void ControlSortsInANamedOrderStayRightAcrossChanges();
    void ReturnsToAnOrderKeepEqualRowsInTheirCurrentOrder_data();
    void ReturnsToAnOrderKeepEqualRowsInTheirCurrentOrder();
};

void TestRowSort::SortsGiveTheStableOrderFromAnyStart_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Alphabet");
    QTest::addColumn<int>("MaxLength");
    QTest::addColumn<QByteArray>("Lead");
    QTest::addColumn<QByteArray>("Start");

    const QByteArray starts[] = {"random",   "sorted",     "reversed",
                                 "moved up", "moved down", "a few changed"};
    for (const QByteArray& start : starts) {
        QTest::addRow("distinct, %s", start.constData())
            << 2000 << 256 << 12 << QByteArray() << start;
        QTest::addRow("many ties, %s", start.constData())
            << 2000 << 3 << 3 << QByteArray() << start;
        QTest::addRow("long shared prefix, %s", start.constData())
            << 1500 << 4 << 6 << QByteArray(29, 'k') << start;
        QTest::addRow("all equal, %s", start.constData())
            << 300 << 1 << 0 << QByteArray("x") << start;
    }
    // More distinct keys than are counted into place: the rows go on to a sort by keys.
    QTest::newRow("distinct, many") << 6000 << 256 << 12 << QByteArray() << QByteArray("random");
    QTest::newRow("long shared prefix, many")
        << 6000 << 256 << 4 << QByteArray(17, 'k') << QByteArray("random");
    // A zero byte reads as a missing one: keys of a few values, some of them incomplete.
    QTest::newRow("few values, zero bytes")
        << 3000 << 2 << 2 << QByteArray("v") << QByteArray("random");
    QTest::newRow("no rows") << 0 << 2 << 3 << QByteArray() << QByteArray("random");
    QTest::newRow("one row") << 1 << 2 << 3 << QByteArray() << QByteArray("random");
    QTest::newRow("two rows") << 2 << 2 << 3 << QByteArray() << QByteArray("reversed");
}

void TestRowSort::SortsGiveTheStableOrderFromAnyStart()
{
    QFETCH(int, Rows);
    QFETCH(int, Alphabet);
    QFETCH(int, MaxLength);
    QFETCH(QByteArray, Lead);
    QFETCH(QByteArray, Start);

    std::mt19937 rng(7);
    TSortData data;
    for (int i = 0; i < Rows; ++i)
        data.Keys.push_back(RandomKey(rng, Alphabet, MaxLength, Lead.toStdString()));
    const std::vector<int> start = Shape(Start, data, rng);

    for (const char* how : {"keys", "first bytes", "comparison"}) {
        for (const bool descending : {false, true}) {
            data.Descending = descending;
            data.CompleteKeys = std::strcmp(how, "keys") == 0;
            ListRowSort::TRows rows = RowsOf(start);
            const std::vector<int> expected = StableOrder(start, data);
            if (std::strcmp(how, "comparison") == 0) {
                ListRowSort::ByComparison(rows, &CompareRows, reinterpret_cast<LPARAM>(&data));
            } else {
                const LVSORTKEYED sort = KeyedSort(data);
                data.KeysAsked = 0;
                ListRowSort::TTies tied = ListRowSort::ByKeys(rows, sort);
                QVERIFY2(data.KeysAsked <= Rows, "a row's key is asked for once");
                QCOMPARE(tied.size(), rows.size());
                QVERIFY(TiesMatch(rows, tied, data));
                // Turned round without comparing: what a sort the other way would give.
                ListRowSort::TurnRound(rows, tied);
                data.Descending = !descending;
                QVERIFY2(IdsOf(rows) == StableOrder(start, data), how);
                QVERIFY(TiesMatch(rows, tied, data));
                data.Descending = descending;
                ListRowSort::ByKeys(rows, sort); // back to the order checked below
            }
            QVERIFY2(IdsOf(rows) == expected,
                     qPrintable(QStringLiteral("%1, %2").arg(how, descending ? "down" : "up")));
        }
    }
}

void TestRowSort::SortedRowsCostNoSort()
{
    // Sorted rows, with one changed: a pass over them and a few more comparisons, not a sort.
    std::mt19937 rng(11);
    TSortData data;
    for (int i = 0; i < 20000; ++i)
        data.Keys.push_back(RandomKey(rng, 256, 10, {}));
    std::vector<int> ids = Shape("sorted", data, rng);
    data.Keys[std::size_t(ids[10000])] = std::string(); // now it belongs first
    ListRowSort::TRows rows = RowsOf(ids);
    ListRowSort::ByComparison(rows, &CompareRows, reinterpret_cast<LPARAM>(&data));
    QCOMPARE(int(rows.front()->Param()), ids[10000]);
    QVERIFY2(data.Comparisons < 5 * 20000, qPrintable(QString::number(data.Comparisons)));

    // The other way round: reversed with its equal rows kept in order.
    data.Comparisons = 0;
    data.Descending = true;
    ListRowSort::ByComparison(rows, &CompareRows, reinterpret_cast<LPARAM>(&data));
    QCOMPARE(int(rows.back()->Param()), ids[10000]);
    QVERIFY2(data.Comparisons < 3 * 20000, qPrintable(QString::number(data.Comparisons)));
}

void TestRowSort::RowsInOrderCostNoKeys_data()
{
    QTest::addColumn<bool>("Descending");
    QTest::addColumn<QByteArray>("Start");
    QTest::addColumn<bool>("KeysMade");
    QTest::addColumn<int>("Rows"); // from 32 768 on, two threads compare where they may
    for (const int rows : {3000, 40000}) {
        const char* threads = rows > 3000 ? ", two threads" : "";
        QTest::addRow("ascending%s", threads) << false << QByteArray("in order") << false << rows;
        QTest::addRow("descending%s", threads) << true << QByteArray("in order") << false << rows;
        QTest::addRow("ascending, the last row out of order%s", threads)
            << false << QByteArray("last out") << false << rows;
        QTest::addRow("descending, the last row out of order%s", threads)
            << true << QByteArray("last out") << false << rows;
        QTest::addRow("ascending, the first row out of order%s", threads)
            << false << QByteArray("first out") << true << rows; // every row after it aside
        // Where two threads meet: the pair of the last row of one half and the first of the
        // other.
        QTest::addRow("ascending, the middle row out of order%s", threads)
            << false << QByteArray("middle out") << false << rows;
        QTest::addRow("ascending, a few rows changed%s", threads)
            << false << QByteArray("a few changed") << false << rows;
        QTest::addRow("ascending, at random%s", threads)
            << false << QByteArray("random") << true << rows;
        QTest::addRow("descending, at random%s", threads)
            << true << QByteArray("random") << true << rows;
    }
}

void TestRowSort::RowsInOrderCostNoKeys()
{
    // A file saved in name order comes back in it, and a master list sorted by name stays in
    // it but for the rows just edited: comparisons put them in order, and the keys (a
    // collation of every row) are made only when the rows stand too far from sorted.
    QFETCH(bool, Descending);
    QFETCH(QByteArray, Start);
    QFETCH(bool, KeysMade);
    QFETCH(int, Rows);
    std::mt19937 rng(5);
    TSortData data;
    data.Descending = Descending;
    for (int i = 0; i < Rows; ++i)
        data.Keys.push_back(RandomKey(rng, 3, 3, "k")); // many equal rows
    const bool inOrder = Start == "in order" || Start.endsWith("out");
    std::vector<int> ids =
        Shape(inOrder ? QByteArray(Descending ? "reversed" : "sorted") : Start, data, rng);
    if (Start == "last out")
        data.Keys[std::size_t(ids.back())] = Descending ? "zz" : std::string();
    if (Start == "first out")
        data.Keys[std::size_t(ids.front())] = Descending ? std::string() : "zz";
    if (Start == "middle out")
        data.Keys[std::size_t(ids[ids.size() / 2])] = Descending ? "zz" : std::string();
    const std::vector<int> expected = StableOrder(ids, data);
    ListRowSort::TRows rows = RowsOf(ids);
    LVSORTKEYED sort = KeyedSort(data);
    sort.WorkerKey = &WorkerKey;
    sort.WorkerCompare = &WorkerCompareRows;
    const ListRowSort::TTies tied = ListRowSort::ByKeys(rows, sort);
    QVERIFY(IdsOf(rows) == expected);
    QCOMPARE(data.KeysAsked + data.WorkerAsked[0] + data.WorkerAsked[1] > 0, KeysMade);
    QVERIFY(!data.WorkerOnWrongThread);
    // Rows in order are proven so by both threads in a long list.
    if (Start == "in order")
        QCOMPARE(data.WorkerCompared[1] > 0, Rows > 3000);
    QCOMPARE(tied.size(), rows.size());
    QVERIFY(TiesMatch(rows, tied, data));
}

void TestRowSort::SharedKeysGiveTheStableOrder_data()
{
    QTest::addColumn<QStringList>("Values");
    QTest::addColumn<int>("Copies");
    const QString lead(20, QLatin1Char('k')); // long enough for key bytes beyond the prefixes
    QTest::newRow("short values") << QStringList{"b", "a", "c", "ab", "ba"} << 1;
    QTest::newRow("long values") << QStringList{lead + "b", lead + "a", lead, lead + "ab"} << 1;
    // One value's key in two places: equal keys that are not the same key.
    QTest::newRow("long values, keys in two places")
        << QStringList{lead + "b", lead + "a", lead, lead + "ab"} << 2;
    QTest::newRow("short values, keys in two places") << QStringList{"b", "a", "c"} << 2;
    // A zero byte reads as a missing one: such keys are incomplete, and tie with keys that
    // the comparison tells apart.
    QTest::newRow("incomplete keys among complete ones")
        << QStringList{"v", QStringLiteral("v%1").arg(QChar(0)), "w", lead} << 1;
}

void TestRowSort::SharedKeysGiveTheStableOrder()
{
    // A column of a few values (kinds, shelves): its rows are counted into their values'
    // places; the result is a stable sort's, ties and all, either way round.
    QFETCH(QStringList, Values);
    QFETCH(int, Copies);
    std::vector<std::string> pool; // each value Copies times, in places of their own
    for (int copy = 0; copy < Copies; ++copy)
        for (const QString& value : Values)
            pool.push_back(value.toStdString());
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    TSortData data;
    std::vector<std::size_t> from;
    for (int i = 0; i < 2000; ++i) {
        from.push_back(pick(rng));
        data.Keys.push_back(pool[from.back()]);
    }
    for (const std::size_t p : from)
        data.SharedKeys.push_back(&pool[p]);
    const std::vector<int> start = Shape("random", data, rng);
    for (const bool descending : {false, true}) {
        data.Descending = descending;
        data.KeysAsked = 0;
        ListRowSort::TRows rows = RowsOf(start);
        const ListRowSort::TTies tied = ListRowSort::ByKeys(rows, KeyedSort(data));
        QVERIFY(IdsOf(rows) == StableOrder(start, data));
        QVERIFY(data.KeysAsked <= 2000);
        QVERIFY(TiesMatch(rows, tied, data));
    }
}

void TestRowSort::PlacingChangedRowsGivesTheStableOrder_data()
{
    QTest::addColumn<int>("Alphabet");
    QTest::addColumn<int>("Changed");
    QTest::addColumn<bool>("Descending");
    QTest::addColumn<bool>("CompleteKeys");
    for (const bool down : {false, true}) {
        for (const bool complete : {true, false}) {
            const char* how = complete ? "keys" : "first bytes";
            const char* dir = down ? "down" : "up";
            QTest::addRow("one row, %s, %s", how, dir) << 256 << 1 << down << complete;
            QTest::addRow("three rows among ties, %s, %s", how, dir) << 3 << 3 << down << complete;
            QTest::addRow("forty rows, %s, %s", how, dir) << 256 << 40 << down << complete;
            QTest::addRow("forty rows among ties, %s, %s", how, dir) << 2 << 40 << down << complete;
        }
    }
}

void TestRowSort::PlacingChangedRowsGivesTheStableOrder()
{
    QFETCH(int, Alphabet);
    QFETCH(int, Changed);
    QFETCH(bool, Descending);
    QFETCH(bool, CompleteKeys);

    std::mt19937 rng(3);
    TSortData data;
    data.Descending = Descending;
    data.CompleteKeys = CompleteKeys;
    for (int i = 0; i < 3000; ++i)
        data.Keys.push_back(RandomKey(rng, Alphabet, 3, {}));
    const LVSORTKEYED sort = KeyedSort(data);
    std::vector<int> all(data.Keys.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);

    for (int round = 0; round < 5; ++round) {
        ListRowSort::TRows rows = RowsOf(all);
        std::shuffle(rows.begin(), rows.end(), rng);
        ListRowSort::ByKeys(rows, sort);
        // Some rows get new keys (some equal to others'), one goes to each end.
        std::vector<const TListRow*> moved;
        std::uniform_int_distribution<std::size_t> pick(0, rows.size() - 1);
        for (int i = 0; i < Changed; ++i) {
            const TListRow* row = rows[pick(rng)].get();
            if (std::find(moved.begin(), moved.end(), row) != moved.end())
                continue;
            std::string& key = data.Keys[std::size_t(row->Param())];
            key = i == 0 ? std::string()
                         : (i == 1 ? std::string(5, char(Alphabet - 1))
                                   : RandomKey(rng, Alphabet, 3, {}));
            moved.push_back(row);
        }
        const std::vector<int> expected = StableOrder(IdsOf(rows), data);
        ListRowSort::ByKeysAround(rows, moved, sort);
        const std::vector<int> got = IdsOf(rows);
        QCOMPARE(got.size(), expected.size());
        QVERIFY2(got == expected, qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void TestRowSort::KeysMadeOnTwoThreadsGiveTheStableOrder_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Alphabet");
    QTest::addColumn<QByteArray>("Lead");
    QTest::addColumn<int>("FailKeysEvery");
    QTest::addColumn<bool>("HelperAsked");
    QTest::addColumn<int>("First"); // the lowest key byte: above 0, every key is complete
    QTest::newRow("distinct keys") << 40000 << 256 << QByteArray() << 0 << true << 0;
    QTest::newRow("long shared prefix") << 40000 << 26 << QByteArray(21, 'k') << 0 << true << 0;
    QTest::newRow("too few rows for two threads")
        << 12000 << 256 << QByteArray() << 0 << false << 0;
    // Complete keys are also put in order on two threads.
    QTest::newRow("complete keys") << 40000 << 255 << QByteArray() << 0 << true << 1;
    QTest::newRow("complete keys, long shared prefix")
        << 40000 << 26 << QByteArray(21, 'k') << 0 << true << int('a');
    QTest::newRow("complete keys, few first bytes")
        << 40000 << 3 << QByteArray() << 0 << true << int('a');
    // A key that cannot be made leaves its row to the comparison, on whichever thread it fails.
    QTest::newRow("some keys fail") << 40000 << 256 << QByteArray() << 7 << true << 0;
    QTest::newRow("some keys fail, one thread") << 12000 << 256 << QByteArray() << 7 << false << 0;
    QTest::newRow("some keys fail, few values") << 12000 << 2 << QByteArray("v") << 7 << false << 0;
    QTest::newRow("complete keys but some fail") << 40000 << 255 << QByteArray() << 7 << true << 1;
    // A column of few values is counted on two threads, each with keys of its own.
    QTest::newRow("few values") << 40000 << 2 << QByteArray("v") << 0 << true << int('a');
    QTest::newRow("few values, some keys fail")
        << 40000 << 2 << QByteArray("v") << 7 << true << int('a');
    QTest::newRow("values not few, found out on both threads")
        << 40000 << 3 << QByteArray("v") << 0 << true << int('a');
}

void TestRowSort::KeysMadeOnTwoThreadsGiveTheStableOrder()
{
    QFETCH(int, Rows);
    QFETCH(int, Alphabet);
    QFETCH(QByteArray, Lead);
    QFETCH(int, FailKeysEvery);
    QFETCH(bool, HelperAsked);
    QFETCH(int, First);

    std::mt19937 rng(11);
    TSortData data;
    data.FailKeysEvery = FailKeysEvery;
    for (int i = 0; i < Rows; ++i)
        data.Keys.push_back(RandomKey(rng, Alphabet, 8, Lead.toStdString(), First));
    const std::vector<int> start = Shape("random", data, rng);
    for (const bool descending : {false, true}) {
        data.Descending = descending;
        data.KeysAsked = 0;
        data.WorkerAsked[0] = data.WorkerAsked[1] = 0;
        ListRowSort::TRows rows = RowsOf(start);
        LVSORTKEYED sort = KeyedSort(data);
        sort.WorkerKey = &WorkerKey;
        const ListRowSort::TTies tied = ListRowSort::ByKeys(rows, sort);
        QCOMPARE(IdsOf(rows), StableOrder(start, data));
        QVERIFY(TiesMatch(rows, tied, data));
        QVERIFY(!data.WorkerOnWrongThread);
        QCOMPARE(data.WorkerAsked[1] > 0, HelperAsked);
        QVERIFY2(data.KeysAsked + data.WorkerAsked[0] + data.WorkerAsked[1] <= Rows,
                 "a row's key is asked for once");
    }
}

void TestRowSort::KeysReadInWordsGiveTheStableOrder_data()
{
    QTest::addColumn<int>("Rows");
    QTest::addColumn<int>("Alphabet");
    QTest::addColumn<QByteArray>("Lead");
    QTest::addColumn<int>("WordBytes");
    QTest::addColumn<int>("FailWordsEvery");
    QTest::addColumn<bool>("TwoThreads");
    // Keys read to their ends, or only partly, the comparison settling what they leave tied.
    QTest::newRow("whole keys") << 40000 << 255 << QByteArray() << 99 << 0 << true;
    QTest::newRow("whole keys, one thread") << 40000 << 255 << QByteArray() << 99 << 0 << false;
    QTest::newRow("whole keys, long shared prefix")
        << 40000 << 3 << QByteArray(21, 'k') << 99 << 0 << true;
    QTest::newRow("a word of each key") << 40000 << 4 << QByteArray() << 8 << 0 << true;
    QTest::newRow("keys ending inside a word") << 40000 << 4 << QByteArray("kk") << 13 << 0 << true;
    // Most rows tied after their first bytes: their next words are read in the rows' order.
    // Leads apart by "|" go to every other row.
    const QByteArray a21(21, 'a');
    const QByteArray k21(21, 'k');
    const QByteArray k37(37, 'k');
    QTest::newRow("many rows alike in their first bytes") << 80000 << 26 << k21 << 99 << 0 << true;
    QTest::newRow("many rows alike in their first bytes, one thread")
        << 80000 << 26 << k21 << 99 << 0 << false;
    QTest::newRow("two kinds of rows alike, one on each thread")
        << 140000 << 26 << a21 + "|" + k21 << 99 << 0 << true;
    QTest::newRow("half of the rows alike further")
        << 140000 << 26 << k21 + "|" + k37 << 99 << 0 << true;
    QTest::newRow("keys cut after their first sixteen bytes")
        << 40000 << 3 << QByteArray(19, 'k') << 23 << 0 << true;
    QTest::newRow("no key bytes") << 3000 << 4 << QByteArray() << 0 << 0 << false;
    QTest::newRow("few rows") << 50 << 3 << QByteArray("k") << 99 << 0 << true;
    // A word that cannot be read sends every row to the keys asked for whole.
    QTest::newRow("some words fail") << 40000 << 255 << QByteArray() << 99 << 997 << true;
    QTest::newRow("some words fail, one thread")
        << 40000 << 255 << QByteArray() << 99 << 997 << false;
    QTest::newRow("some words fail, many ties") << 20000 << 3 << QByteArray() << 99 << 997 << false;
}

void TestRowSort::KeysReadInWordsGiveTheStableOrder()
{
    QFETCH(int, Rows);
    QFETCH(int, Alphabet);
    QFETCH(QByteArray, Lead);
    QFETCH(int, WordBytes);
    QFETCH(int, FailWordsEvery);
    QFETCH(bool, TwoThreads);

    std::mt19937 rng(13);
    TSortData data;
    data.WordBytes = std::size_t(WordBytes);
    data.FailWordsEvery = FailWordsEvery;
    const QList<QByteArray> leads = Lead.split('|');
    for (int i = 0; i < Rows; ++i)
        data.Keys.push_back(RandomKey(rng, Alphabet, 8, leads[i % leads.size()].toStdString(), 1));
    const std::vector<int> start = Shape("random", data, rng);
    for (const bool descending : {false, true}) {
        data.Descending = descending;
        data.KeysAsked = 0;
        ListRowSort::TRows rows = RowsOf(start);
        LVSORTKEYED sort = KeyedSort(data);
        sort.KeyWords = &KeyWords;
        if (TwoThreads)
            sort.WorkerCompare = &WorkerCompareRows;
        const ListRowSort::TTies tied = ListRowSort::ByKeys(rows, sort);
        QCOMPARE(IdsOf(rows), StableOrder(start, data));
        QVERIFY(TiesMatch(rows, tied, data));
        QVERIFY(!data.WorkerOnWrongThread);
        QVERIFY2((data.KeysAsked > 0) == (FailWordsEvery > 0), "keys asked for whole");
    }
}

namespace {

// Keys and comparison from the row's own caption, as a sorter that names its order must.
int CompareCaptions(LPARAM A, LPARAM B, LPARAM Descending)
{
    const int c = Compare(std::string(reinterpret_cast<const TListRow*>(A)->Text.Caption()),
                          std::string(reinterpret_cast<const TListRow*>(B)->Text.Caption()));
    return Descending ? -c : c;
}

void CaptionKey(LPARAM Row, LPARAM, LVSORTKEY& Key)
{
    const std::string_view caption = reinterpret_cast<const TListRow*>(Row)->Text.Caption();
    Key.Prefix = Prefix(std::string(caption), 0);
    Key.Prefix2 = Prefix(std::string(caption), 8);
    if (caption.size() > 16) {
        Key.Bytes = caption.data() + 16;
        Key.Size = caption.size() - 16;
    }
    Key.Complete = caption.find('\0') == std::string_view::npos;
}

} // namespace

void TestRowSort::ControlSortsInANamedOrderStayRightAcrossChanges()
{
    // Sorts in one named order, turned round and back, with rows changed, added and deleted
    // between them: each sort must give what a full stable sort gives.
    TListControl control;
    std::mt19937 rng(5);
    auto addRow = [&](int Index) {
        auto row = std::make_unique<TListRow>();
        row->Text = TRowText::FromFields({RandomKey(rng, 3, 3, {})});
        row->SetParam(reinterpret_cast<LPARAM>(row.get()));
        control.InsertRow(Index, std::move(row));
    };
    for (int i = 0; i < 500; ++i)
        addRow(-1);
    auto sortAndCheck = [&](bool Descending, const char* After) {
        std::vector<const TListRow*> expected;
        for (int i = 0; i < control.RowCount(); ++i)
            expected.push_back(control.Row(i));
        std::stable_sort(expected.begin(), expected.end(), [&](auto* A, auto* B) {
            return CompareCaptions(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B),
                                   Descending) < 0;
        });
        LVSORTKEYED sort;
        sort.Compare = &CompareCaptions;
        sort.SortParam = Descending;
        sort.Key = &CaptionKey;
        sort.Descending = Descending;
        sort.Order = 7;
        QVERIFY(control.SendMessage(LVM_SORTITEMSKEYED, 0, reinterpret_cast<LPARAM>(&sort)));
        for (int i = 0; i < control.RowCount(); ++i)
            QVERIFY2(control.Row(i) == expected[std::size_t(i)], After);
    };
    std::uniform_int_distribution<int> pick(0, 400);
    sortAndCheck(false, "the first sort");
    sortAndCheck(true, "turned round");
    sortAndCheck(false, "turned back");
    control.DeleteRow(pick(rng));
    sortAndCheck(true, "a row deleted, turned round");
    control.DeleteRow(pick(rng));
    sortAndCheck(true, "a row deleted, the same way");
    sortAndCheck(false, "then turned round");
    for (int i = 0; i < 5; ++i)
        control.SetRowText(pick(rng), TRowText::FromFields({RandomKey(rng, 3, 3, {})}));
    control.SetRowText(control.RowCount() - 1, TRowText::FromFields({"a"}));
    sortAndCheck(false, "rows changed, the same way");
    sortAndCheck(true, "then turned round");
    addRow(pick(rng));
    sortAndCheck(false, "a row added, the same way");
    sortAndCheck(true, "then turned round");
    control.DeleteAllRows();
    for (int i = 0; i < 50; ++i)
        addRow(-1);
    sortAndCheck(false, "all rows new");
    sortAndCheck(true, "all rows new, turned round");
}

namespace {

// Two columns of a few letters each, so that most rows tie with others in each; a sorter asked
// for column 0 or 1, the order named after the column.
struct TColumnSorter
{
    int Column = 0;
    bool Descending = false;
    int KeysAsked = 0;
};

std::string CellOf(LPARAM Row, int Column)
{
    return std::string(reinterpret_cast<const TListRow*>(Row)->Text.Field(Column));
}

int CompareCells(LPARAM A, LPARAM B, LPARAM Sorter)
{
    const auto* sorter = reinterpret_cast<const TColumnSorter*>(Sorter);
    const int c = Compare(CellOf(A, sorter->Column), CellOf(B, sorter->Column));
    return sorter->Descending ? -c : c;
}

void CellKey(LPARAM Row, LPARAM Sorter, LVSORTKEY& Key)
{
    auto* sorter = reinterpret_cast<TColumnSorter*>(Sorter);
    ++sorter->KeysAsked;
    Key.Prefix = Prefix(CellOf(Row, sorter->Column), 0); // cells are shorter than eight bytes
    Key.Complete = true;
}

} // namespace

void TestRowSort::ReturnsToAnOrderKeepEqualRowsInTheirCurrentOrder_data()
{
    // Each step: a column and a direction ("0+" column 0 ascending), "c" a sort by the
    // comparison alone (column 1 descending), "e" a row's texts changed, "d" a row deleted.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("stepsCostingNoKeys");
    QTest::newRow("back to a column") << QStringList{"0+", "1+", "0+"} << 1;
    QTest::newRow("back, the other way") << QStringList{"0+", "1+", "0-"} << 1;
    QTest::newRow("left descending, back ascending") << QStringList{"0-", "1+", "0+"} << 1;
    QTest::newRow("turned, then back and forth")
        << QStringList{"0+", "0-", "1-", "1+", "0+", "1-", "0-"} << 5;
    QTest::newRow("three columns' worth of returns")
        << QStringList{"0+", "1+", "0-", "1-", "0+"} << 3;
    QTest::newRow("by the comparison between") << QStringList{"0+", "c", "0+"} << 1;
    QTest::newRow("a row changed between") << QStringList{"0+", "1+", "e", "0+", "1+"} << 0;
    QTest::newRow("a row deleted between") << QStringList{"0+", "1+", "d", "0+"} << 0;
}

void TestRowSort::ReturnsToAnOrderKeepEqualRowsInTheirCurrentOrder()
{
    // Going back to an order sorted in before must give what a full stable sort of the rows as
    // they stand gives: equal rows in their current order, not in the one they had then.
    QFETCH(QStringList, steps);
    QFETCH(int, stepsCostingNoKeys);
    TListControl control;
    std::mt19937 rng(11);
    auto fields = [&] {
        return TRowText::FromFields({RandomKey(rng, 3, 2, {}, 'a'), RandomKey(rng, 2, 2, {}, 'a')});
    };
    for (int i = 0; i < 3000; ++i) {
        auto row = std::make_unique<TListRow>();
        row->Text = fields();
        row->SetParam(reinterpret_cast<LPARAM>(row.get()));
        control.InsertRow(-1, std::move(row));
    }
    int noKeys = 0;
    for (const QString& step : steps) {
        if (step == "e") {
            control.SetRowText(17, fields());
            continue;
        }
        if (step == "d") {
            control.DeleteRow(23);
            continue;
        }
        TColumnSorter sorter;
        sorter.Column = step == "c" ? 1 : step[0].digitValue();
        sorter.Descending = step == "c" || step[1] == '-';
        std::vector<const TListRow*> expected;
        for (int i = 0; i < control.RowCount(); ++i)
            expected.push_back(control.Row(i));
        std::stable_sort(expected.begin(), expected.end(), [&](auto* A, auto* B) {
            return CompareCells(LPARAM(A), LPARAM(B), LPARAM(&sorter)) < 0;
        });
        LVSORTKEYED sort;
        sort.Compare = &CompareCells;
        sort.SortParam = LPARAM(&sorter);
        sort.Key = &CellKey;
        sort.Descending = sorter.Descending;
        sort.Order = std::uint64_t(sorter.Column) + 1;
        const UINT message = step == "c" ? LVM_SORTITEMS : LVM_SORTITEMSKEYED;
        const LPARAM how = step == "c" ? LPARAM(&CompareCells) : LPARAM(&sort);
        QVERIFY(control.SendMessage(message, LPARAM(&sorter), how));
        for (int i = 0; i < control.RowCount(); ++i)
            QVERIFY2(control.Row(i) == expected[std::size_t(i)], qPrintable(step));
        noKeys += step != "c" && sorter.KeysAsked == 0;
    }
    // The first sort by a column makes keys; a return to one, or a turn, needs none.
    QCOMPARE(noKeys, stepsCostingNoKeys);
}

QTEST_MAIN(TestRowSort)
#include "tst_RowSort.moc"
