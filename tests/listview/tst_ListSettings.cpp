// A list's column widths, column order and sort state kept between runs in the registry
// store: the round trip through a list's destruction, and what malformed or missing values
// give.
#include "ExtListView.h"
#include "Registry.h"

#include <QtTest>

#include <sys/stat.h>

using namespace Win;

namespace {

const char* const kKey = "Software\\Dyskar\\Test";

std::string Stored(const char* Sub, const char* Name)
{
    TRegistry registry;
    registry.OpenKey(std::string(kKey) + "\\" + Sub, false);
    return registry.ReadString(Name).value_or("<none>");
}

void Store(const char* Sub, const char* Name, const char* Value)
{
    TRegistry registry;
    registry.OpenKey(std::string(kKey) + "\\" + Sub, true);
    registry.WriteString(Name, Value);
}

// A list of five columns and four rows, loaded as a form loads it, with its settings kept
// under the test key.
std::unique_ptr<TdfsExtListView> LoadedList(bool SaveCurrentSort = true)
{
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    list->SaveSettings().AutoSave = true;
    list->SaveSettings().RegistryKey = kKey;
    list->SaveSettings().SaveCurrentSort = SaveCurrentSort;
    list->SetAutoColumnSort(acsSortToggle);
    for (int c = 0; c < 5; ++c)
        list->Columns().Add()->SetCaption(std::string("K").append(std::to_string(c)));
    const char* rows[][3] = {{"b", "x", "2"}, {"d", "y", "4"}, {"a", "z", "1"}, {"c", "w", "3"}};
    for (const auto& row : rows) {
        TListItem* item = list->Items().Add();
        item->SetCaption(row[0]);
        item->AddSubItem(row[1]);
        item->AddSubItem(row[2]);
    }
    list->Loaded();
    return list;
}

std::vector<int> Widths(TdfsExtListView& List)
{
    std::vector<int> widths;
    for (int c = 0; c < List.Columns().Count(); ++c)
        widths.push_back(List.Columns().Items(c)->Width());
    return widths;
}

std::string Captions(TdfsExtListView& List)
{
    std::string captions;
    for (int i = 0; i < List.Items().Count(); ++i)
        captions += List.Items().Item(i)->Caption();
    return captions;
}

} // namespace

class TestListSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_Home;

private slots:
    void initTestCase()
    {
        // The store lives in the user's settings folder; here that is a folder of our own.
        QVERIFY(m_Home.isValid());
        qputenv("XDG_CONFIG_HOME", m_Home.path().toLocal8Bit());
        QVERIFY(TRegistry::DefaultFile().startsWith(m_Home.path()));
    }
    void init() { QFile::remove(TRegistry::DefaultFile()); }

    void Settings_surviveTheListsDestruction()
    {
        {
            auto list = LoadedList();
            const int widths[] = {200, 125, 60, 50, 150};
            for (int c = 0; c < 5; ++c)
                list->Columns().Items(c)->SetWidth(widths[c]);
            list->SetCurrentSortColumn(2);
            list->SetCurrentSortDirection(false);
            list->ResortItems();
        }
        QCOMPARE(Stored("Columns", "Sizes"), std::string("200,125,60,50,150"));
        QCOMPARE(Stored("Columns", "Order"), std::string("0,1,2,3,4"));
        QCOMPARE(Stored("Sort", "Ascending"), std::string("0"));
        QCOMPARE(Stored("Sort", "SortCol"), std::string("2"));

        auto again = LoadedList();
        QCOMPARE(Widths(*again), (std::vector<int>{200, 125, 60, 50, 150}));
        QCOMPARE(again->CurrentSortColumn(), 2);
        QVERIFY(!again->CurrentSortAscending());
        QCOMPARE(Captions(*again), std::string("dcba")); // by column 2, descending
    }

    void OrderAndWidths_followTheColumnsTheUserMoved()
    {
        {
            auto list = LoadedList();
            const int order[] = {3, 0, 1, 2, 4};
            list->SetColumnOrder(5, order);
            list->ColumnAtPosition(0)->SetWidth(111); // column 3, shown leftmost
        }
        QCOMPARE(Stored("Columns", "Order"), std::string("3,0,1,2,4"));
        QVERIFY(QString::fromStdString(Stored("Columns", "Sizes")).startsWith("111,"));
        auto again = LoadedList();
        QCOMPARE(again->PositionOfColumn(3), 0);
        QCOMPARE(again->Columns().Items(3)->Width(), 111);
    }

    void RecreatedWindow_storesTheSettingsEachTime()
    {
        auto list = LoadedList();
        list->Columns().Items(1)->SetWidth(77);
        list->RecreateWnd();
        QCOMPARE(Stored("Columns", "Sizes"), std::string("50,77,50,50,50"));
    }

    void StoredSizes_setOnlyTheColumnsTheyName_data()
    {
        QTest::addColumn<QString>("sizes");
        QTest::addColumn<std::vector<int>>("widths");
        QTest::newRow("shorter") << "300,40" << std::vector<int>{300, 40, 50, 50, 50};
        QTest::newRow("one malformed") << "300,x,70" << std::vector<int>{300, 50, 70, 50, 50};
        QTest::newRow("longer") << "61,62,63,64,65,66,67" << std::vector<int>{61, 62, 63, 64, 65};
        QTest::newRow("empty") << "" << std::vector<int>{50, 50, 50, 50, 50};
    }
    void StoredSizes_setOnlyTheColumnsTheyName()
    {
        QFETCH(QString, sizes);
        QFETCH(std::vector<int>, widths);
        Store("Columns", "Sizes", sizes.toLatin1().constData());
        auto list = LoadedList();
        QCOMPARE(Widths(*list), widths);
    }

    void StoredSortColumn_isKeptToThePresentColumns_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("sorted");
        QTest::newRow("past the last") << "9" << 4;
        QTest::newRow("none") << "-1" << 0;
        QTest::newRow("hexadecimal") << "0x2" << 2;
        QTest::newRow("unreadable") << "2a" << 0;
    }
    void StoredSortColumn_isKeptToThePresentColumns()
    {
        QFETCH(QString, column);
        QFETCH(int, sorted);
        Store("Sort", "SortCol", column.toLatin1().constData());
        Store("Sort", "Ascending", "1");
        auto list = LoadedList();
        QCOMPARE(list->CurrentSortColumn(), sorted);
        QVERIFY(list->CurrentSortAscending());
    }

    void WithoutTheSortKept_theDefaultSortStillRuns()
    {
        Store("Columns", "Sizes", "90");
        Store("Sort", "SortCol", "2");
        Store("Sort", "Ascending", "0");
        auto list = LoadedList(false);
        QCOMPARE(list->Columns().Items(0)->Width(), 90);
        QCOMPARE(list->CurrentSortColumn(), 0);
        QCOMPARE(Captions(*list), std::string("abcd"));
    }

    void StoredOrder_alwaysGivesAPermutation_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<std::vector<int>>("shown");
        QTest::newRow("shorter") << "2" << std::vector<int>{2, 0, 1, 3, 4};
        QTest::newRow("repeated") << "1,1,0,4,4" << std::vector<int>{1, 0, 4, 2, 3};
        QTest::newRow("malformed reads as 0") << "3,x,2" << std::vector<int>{3, 0, 2, 1, 4};
        QTest::newRow("out of range") << "7,-1,4" << std::vector<int>{4, 0, 1, 2, 3};
        QTest::newRow("nothing stored") << "" << std::vector<int>{0, 1, 2, 3, 4};
    }
    void StoredOrder_alwaysGivesAPermutation()
    {
        QFETCH(QString, order);
        QFETCH(std::vector<int>, shown);
        Store("Columns", "Order", order.toLatin1().constData());
        auto list = LoadedList();
        std::vector<int> read(5, -1);
        QVERIFY(list->GetColumnOrder(5, read.data()));
        QCOMPARE(read, shown);
    }

    void FailedWrite_namesTheValue()
    {
        auto list = LoadedList();
        Store("Sort", "SortCol", "0"); // the store exists
        QVERIFY(::chmod(TRegistry::DefaultFile().toLocal8Bit().constData(), 0444) == 0);
        try {
            list->SaveListSettings();
            QFAIL("a store that cannot be written was reported as written");
        } catch (const ERegistryException& Error) {
            QCOMPARE(std::string(Error.what()), std::string("Failed to set data for 'Order'"));
        }
        // Its destruction cannot report the same failure, and does not end the program.
        list.reset();
        ::chmod(TRegistry::DefaultFile().toLocal8Bit().constData(), 0644);
    }

    void SortingLevel_storesNothingForAListWithoutColumns_data()
    {
        QTest::addColumn<int>("Columns");
        QTest::addColumn<QByteArray>("SortCol");
        QTest::newRow("no columns: nothing stored") << 0 << QByteArray("<none>");
        QTest::newRow("one column: the sort stored") << 1 << QByteArray("0");
    }
    void SortingLevel_storesNothingForAListWithoutColumns()
    {
        QFETCH(int, Columns);
        QFETCH(QByteArray, SortCol);
        TCustomEnhListView list;
        list.SaveSettingsObject().RegistryKey = kKey;
        for (int c = 0; c < Columns; ++c)
            list.Columns().Add()->SetCaption("K");
        list.SetCurrentSortColumn(Columns > 0 ? 0 : -1);
        QVERIFY(list.SaveListSettings());
        QCOMPARE(QByteArray::fromStdString(Stored("Sort", "SortCol")), SortCol);
        QCOMPARE(Stored("Sort", "Ascending") == "<none>", Columns == 0);
    }

    void NarrowWidths_comeBackAsStored_data()
    {
        QTest::addColumn<int>("Width");
        QTest::newRow("1 pixel") << 1;
        QTest::newRow("10 pixels") << 10;
        QTest::newRow("25 pixels") << 25;
        QTest::newRow("0: hidden") << 0;
    }
    void NarrowWidths_comeBackAsStored()
    {
        QFETCH(int, Width);
        Store("Columns", "Sizes", std::to_string(Width).append(",20,30,40,50").c_str());
        auto list = LoadedList();
        QCOMPARE(Widths(*list), (std::vector<int>{Width, 20, 30, 40, 50}));
        QCOMPARE(list->Control().ColumnWidth(0), Width);
    }

    void Switches_storeOnlyWhatTheyName_data()
    {
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("sizes");
        QTest::addColumn<bool>("order");
        QTest::addColumn<bool>("sort");
        QTest::newRow("everything") << true << true << true << true;
        QTest::newRow("no sizes") << true << false << true << true;
        QTest::newRow("no order") << true << true << false << true;
        QTest::newRow("no sort") << true << true << true << false;
        QTest::newRow("no automatic saving: nothing") << false << true << true << true;
    }
    void Switches_storeOnlyWhatTheyName()
    {
        QFETCH(bool, autoSave);
        QFETCH(bool, sizes);
        QFETCH(bool, order);
        QFETCH(bool, sort);
        {
            auto list = LoadedList();
            list->SaveSettings().AutoSave = autoSave;
            list->SaveSettings().SaveColumnSizes = sizes;
            list->SaveSettings().SaveColumnOrder = order;
            list->SaveSettings().SaveCurrentSort = sort;
            list->Columns().Items(0)->SetWidth(99);
        }
        QCOMPARE(Stored("Columns", "Sizes") != "<none>", autoSave && sizes);
        QCOMPARE(Stored("Columns", "Order") != "<none>", autoSave && order);
        QCOMPARE(Stored("Sort", "SortCol") != "<none>", autoSave && sort);
        QCOMPARE(Stored("Sort", "Ascending") != "<none>", autoSave && sort);
    }

    void StoredSortValues_readAsNumbersAndTruths_data()
    {
        QTest::addColumn<QByteArray>("ascending");
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<bool>("readAscending");
        QTest::addColumn<int>("readColumn");
        QTest::newRow("plain") << QByteArray("0") << QByteArray("3") << false << 3;
        QTest::newRow("upper-case hexadecimal")
            << QByteArray("0X0") << QByteArray("0X2") << false << 2;
        QTest::newRow("lower-case hexadecimal")
            << QByteArray("0x1") << QByteArray("0x4") << true << 4;
        QTest::newRow("any number but 0 is true")
            << QByteArray("-7") << QByteArray("+1") << true << 1;
        QTest::newRow("\"0x\" alone is no number: the defaults")
            << QByteArray("0x") << QByteArray("0x") << true << 0;
        QTest::newRow("unreadable: the defaults")
            << QByteArray("ja") << QByteArray("1a") << true << 0;
    }
    void StoredSortValues_readAsNumbersAndTruths()
    {
        QFETCH(QByteArray, ascending);
        QFETCH(QByteArray, column);
        QFETCH(bool, readAscending);
        QFETCH(int, readColumn);
        Store("Sort", "Ascending", ascending.constData());
        Store("Sort", "SortCol", column.constData());
        auto list = LoadedList();
        QCOMPARE(list->CurrentSortAscending(), readAscending);
        QCOMPARE(list->CurrentSortColumn(), readColumn);
    }

    void EmptyKey_storesAndLoadsNothing()
    {
        auto list = std::make_unique<TdfsExtListView>();
        list->SaveSettings().AutoSave = true;
        list->Columns().Add();
        list->Loaded();
        QVERIFY(!list->SaveListSettings());
        list.reset();
        QVERIFY(!QFile::exists(TRegistry::DefaultFile()));
    }
};

QTEST_MAIN(TestListSettings)
#include "tst_ListSettings.moc"
