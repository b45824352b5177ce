// The sorting level: header clicks, the built-in comparisons, resorting and the update bracket.
#include "Cp1250.h"
#include "ExtListView.h"
#include "Locale.h"
#include "SortValues.h"
#include "support/ListTexts.h"

#include <QHeaderView>
#include <QLocale>
#include <QtTest>

#include <stdexcept>

using TestSupport::Column;

namespace {

// A list as a window places it: columns, then the end of loading.
std::unique_ptr<TdfsExtListView> MakeList(TAutoColumnSort Sort, TAutoSortStyle Style,
                                          int Columns = 3)
{
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    for (int i = 0; i < Columns; ++i)
        list->Columns().Add()->SetCaption(std::string("C").append(std::to_string(i)));
    list->SetAutoColumnSort(Sort);
    list->SetAutoSortStyle(Style);
    list->SetAutoResort(false);
    list->Loaded();
    return list;
}

void AddRow(TCustomListView& List, std::vector<std::string> Fields)
{
    std::vector<std::string_view> views(Fields.begin(), Fields.end());
    List.Items().Add()->SetTexts(TRowText::FromFields(views));
}

void ClickHeader(TCustomListView& List, int Column)
{
    QHeaderView* header = List.Control().Header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(Column) + 5, header->height() / 2));
}

} // namespace

class TestEnhListView : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void HeaderClicks_sortAsTheAutoColumnSortSays_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("toggle: first click ascends")
            << int(acsSortToggle) << QList<int>{1} << QStringList{"b", "c", "a"} << 1 << true;
        QTest::newRow("toggle: second click descends")
            << int(acsSortToggle) << QList<int>{1, 1} << QStringList{"a", "c", "b"} << 1 << false;
        QTest::newRow("toggle: another column ascends again")
            << int(acsSortToggle) << QList<int>{1, 1, 0} << QStringList{"a", "b", "c"} << 0 << true;
        QTest::newRow("sort: a second click keeps the direction")
            << int(acsSort) << QList<int>{1, 1} << QStringList{"b", "c", "a"} << 1 << true;
        QTest::newRow("no sort: the column is only remembered")
            << int(acsNoSort) << QList<int>{1} << QStringList{"c", "a", "b"} << 1 << true;
    }
    void HeaderClicks_sortAsTheAutoColumnSortSays()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, names);
        QFETCH(int, sortColumn);
        QFETCH(bool, ascending);
        // Given rows in an order that no column has
        auto list = MakeList(acsNoSort, assDefault);
        AddRow(*list, {"c", "2"});
        AddRow(*list, {"a", "3"});
        AddRow(*list, {"b", "1"});
        list->SetAutoColumnSort(TAutoColumnSort(mode));
        int columnClicks = 0;
        list->OnColumnClick = [&](QObject*, TListColumn*) { ++columnClicks; };
        list->resize(400, 200);
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        // When the headers are clicked
        for (int c : clicks)
            ClickHeader(*list, c);
        // Then
        QCOMPARE(Column(*list, 0), names);
        QCOMPARE(list->CurrentSortColumn(), sortColumn);
        QCOMPARE(list->CurrentSortAscending(), ascending);
        QCOMPARE(columnClicks, int(clicks.size()));
    }

    void BuiltInComparison_ordersAsTheStyleSays_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("default: 10 before 9 as text")
            << int(assDefault) << "en_US" << QStringList{"9", "10"} << QStringList{"10", "9"};
        QTest::newRow("default: case makes texts differ")
            << int(assDefault) << "en_US" << QStringList{"Abc", "abc", "Abc"}
            << QStringList{"abc", "Abc", "Abc"};
        QTest::newRow("smart: 9 before 10")
            << int(assSmart) << "en_US" << QStringList{"10", "9"} << QStringList{"9", "10"};
        QTest::newRow("smart: 2.5 before 10")
            << int(assSmart) << "pl_PL" << QStringList{"10", "2.5"} << QStringList{"2.5", "10"};
        QTest::newRow("smart: 1,5 is text")
            << int(assSmart) << "en_US" << QStringList{"1,5", "10"} << QStringList{"1,5", "10"};
        QTest::newRow("smart: dates with the slash")
            << int(assSmart) << "en_US" << QStringList{"1/2/2003", "3/4/2002"}
            << QStringList{"3/4/2002", "1/2/2003"};
        QTest::newRow("smart: dates with the dot")
            << int(assSmart) << "pl_PL" << QStringList{"1.2.2003", "3.4.2002"}
            << QStringList{"3.4.2002", "1.2.2003"};
        QTest::newRow("smart: times") << int(assSmart) << "en_US" << QStringList{"10:00", "9:30"}
                                      << QStringList{"9:30", "10:00"};
        QTest::newRow("smart: a date against a number is text")
            << int(assSmart) << "en_US" << QStringList{"5", "1/2/2003"}
            << QStringList{"1/2/2003", "5"};
        QTest::newRow("smart: numbers at their limits")
            << int(assSmart) << "en_US" << QStringList{"1e4000", "-1e4000", "0"}
            << QStringList{"-1e4000", "0", "1e4000"};
        QTest::newRow("polish letters collate")
            << int(assDefault) << "pl_PL"
            << QStringList{QString::fromUtf8("Żaba"), "Zebra", QString::fromUtf8("Łoś"), "Lis"}
            << QStringList{"Lis", QString::fromUtf8("Łoś"), "Zebra", QString::fromUtf8("Żaba")};
    }
    void BuiltInComparison_ordersAsTheStyleSays()
    {
        QFETCH(int, style);
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, sorted);
        QLocale::setDefault(QLocale(locale));
        auto list = MakeList(acsSort, TAutoSortStyle(style));
        for (const auto& t : texts)
            AddRow(*list, {"x", *Cp1250::FromUnicode(t)});
        list->SortByColumn(1, true);
        QCOMPARE(Column(*list, 1), sorted);
        list->SortByColumn(1, false);
        std::reverse(sorted.begin(), sorted.end());
        if (QTest::currentDataTag() != QByteArray("default: case makes texts differ"))
            QCOMPARE(Column(*list, 1), sorted);
    }

    void NumberTest_acceptsOnlyPlainNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        for (auto [t, v] : std::initializer_list<std::pair<const char*, double>>{{"12", 12},
                                                                                 {" 12", 12},
                                                                                 {"-3.5", -3.5},
                                                                                 {"1.", 1},
                                                                                 {"2e3", 2000},
                                                                                 {".", 0},
                                                                                 {"E5", 0},
                                                                                 {"+7", 7}})
            QTest::newRow(t) << QByteArray(t) << true << v;
        for (const char* t : {"12 ", "1,5", "1e", "+", "abc", "", " ", "1..2", "--1", "1e99999"})
            QTest::newRow(*t ? t : "empty") << QByteArray(t) << false << 0.0;
    }
    void NumberTest_acceptsOnlyPlainNumbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        long double got = -1;
        QCOMPARE(SortValues::TryNumber(text.toStdString(), got), accepted);
        if (accepted)
            QCOMPARE(double(got), value);
    }

    void DateTimeTest_followsTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("us date") << "en_US" << QByteArray("3/4/2002") << true;
        QTest::newRow("two numbers are not date-like") << "en_US" << QByteArray("3/4") << false;
        QTest::newRow("invalid day") << "en_US" << QByteArray("2/30/2003") << false;
        QTest::newRow("trailing separator") << "en_US" << QByteArray("3/") << false;
        QTest::newRow("date and time") << "en_US" << QByteArray("3/4/2002 10:15 PM") << true;
        QTest::newRow("time with designator first") << "en_US" << QByteArray("AM 9:15") << true;
        QTest::newRow("bad hour") << "en_US" << QByteArray("25:00") << false;
        QTest::newRow("polish date") << "pl_PL" << QByteArray("31.12.99") << true;
        QTest::newRow("polish number is not a date") << "pl_PL" << QByteArray("2.5") << false;
        QTest::newRow("text after the date") << "pl_PL" << QByteArray("1.2.2003 x") << false;
    }
    void DateTimeTest_followsTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        const auto settings = Locale::DateSettingsOf(QLocale(locale));
        double value = 0;
        QCOMPARE(SortValues::TryDateTime(text.toStdString(), settings, 2026, value), accepted);
    }

    void DateValues_orderByDayAndTime()
    {
        const auto settings = Locale::DateSettingsOf(QLocale("pl_PL"));
        double a = 0, b = 0, c = 0;
        QVERIFY(SortValues::TryDateTime("31.12.1899", settings, 2026, a));
        QCOMPARE(a, 1.0);
        QVERIFY(SortValues::TryDateTime("1.1.1900 12:00", settings, 2026, b));
        QCOMPARE(b, 2.5);
        double d = 0;
        QVERIFY(SortValues::TryDateTime("5.3.26", settings, 2026, c)); // placed in this century
        QVERIFY(SortValues::TryDateTime("5.3.2026", settings, 2026, d));
        QCOMPARE(c, d);
    }

    void ResortItems_withoutAColumnOrHandler_sortsNothingAndStaysPending()
    {
        TdfsExtListView list;
        list.Columns().Add();
        list.SetAutoColumnSort(acsSort);
        AddRow(list, {"b"});
        AddRow(list, {"a"});
        int sorts = 0;
        list.OnSortBegin = [&](QObject*, int, bool) { ++sorts; };
        QCOMPARE(list.CurrentSortColumn(), -1);
        list.ResortItems();
        QCOMPARE(sorts, 0);
        QVERIFY(list.ResortPending());
        QCOMPARE(Column(list, 0), (QStringList{"b", "a"}));
    }

    void UpdateBracket_withAutoResort_sortsOnceAtItsClose()
    {
        auto list = MakeList(acsSort, assDefault);
        list->SetAutoResort(true);
        int sorts = 0;
        list->OnSortBegin = [&](QObject*, int, bool) { ++sorts; };
        list->BeginItemsUpdate();
        AddRow(*list, {"c"});
        AddRow(*list, {"a"});
        AddRow(*list, {"b"});
        QCOMPARE(sorts, 0);
        list->EndItemsUpdate();
        QCOMPARE(sorts, 1);
        QCOMPARE(Column(*list, 0), (QStringList{"a", "b", "c"}));
        AddRow(*list, {"0"}); // outside the bracket every insertion resorts
        QCOMPARE(sorts, 2);
    }

    // Items added at once (AddEach, as a list rebuilt from another): an OnInsert handler hears
    // of each, an auto-resorting list sorts them as one, inside the bracket at its close.
    void ItemsAddedAtOnce_areHeardOfAsOneUnlessOnInsertListens_data()
    {
        QTest::addColumn<bool>("onInsert");
        QTest::addColumn<bool>("autoResort");
        QTest::addColumn<bool>("bracket");
        QTest::addColumn<int>("sorts");
        QTest::addColumn<QStringList>("names");
        const QStringList sorted{"a", "b", "c"};
        QTest::newRow("auto resort: one sort") << false << true << false << 1 << sorted;
        QTest::newRow("auto resort, OnInsert: a sort each") << true << true << false << 3 << sorted;
        QTest::newRow("inside the bracket: one sort at its close")
            << false << true << true << 1 << sorted;
        QTest::newRow("no auto resort: as added")
            << false << false << false << 0 << QStringList{"c", "a", "b"};
    }
    void ItemsAddedAtOnce_areHeardOfAsOneUnlessOnInsertListens()
    {
        QFETCH(bool, onInsert);
        QFETCH(bool, autoResort);
        QFETCH(bool, bracket);
        QFETCH(int, sorts);
        QFETCH(QStringList, names);
        auto list = MakeList(acsSort, assDefault);
        list->SetAutoResort(autoResort);
        int sorted = 0;
        int heard = 0;
        list->OnSortBegin = [&](QObject*, int, bool) { ++sorted; };
        if (onInsert)
            list->OnInsert = [&](QObject*, TListItem* Item) { heard += Item != nullptr; };
        if (bracket)
            list->BeginItemsUpdate();
        const char* texts[] = {"c", "a", "b"};
        list->Items().AddEach(3, [&, next = 0](TListItem& Item) mutable {
            Item.SetTexts(TRowText::FromFields({texts[next++]}));
        });
        if (bracket) {
            QCOMPARE(sorted, 0);
            list->EndItemsUpdate();
        }
        QCOMPARE(sorted, sorts);
        QCOMPARE(heard, onInsert ? 3 : 0);
        QCOMPARE(Column(*list, 0), names);
    }

    void OnSortItems_withNoSortColumn_receivesMinusTwo()
    {
        TdfsExtListView list;
        list.Columns().Add();
        AddRow(list, {"b"});
        AddRow(list, {"a"});
        QList<int> columns;
        list.OnSortItems = [&](QObject*, TListItem* a, TListItem* b, int column, int& result) {
            columns << column;
            result = a->Caption().compare(b->Caption());
        };
        list.ResortItems(); // acsNoSort, but a handler makes sorting possible
        QVERIFY(!columns.isEmpty());
        QVERIFY(std::all_of(columns.begin(), columns.end(), [](int c) { return c == -2; }));
        QCOMPARE(Column(list, 0), (QStringList{"a", "b"}));
    }

    void OnSortItems_thatThrows_countsThePairEqualAndFinishes()
    {
        auto list = MakeList(acsSort, assDefault);
        for (const char* n : {"d", "b", "a", "c"})
            AddRow(*list, {n});
        bool finished = false;
        list->OnSortFinished = [&](QObject*, int, bool) { finished = true; };
        list->OnSortItems = [](QObject*, TListItem* a, TListItem* b, int, int& result) {
            if (a->Caption() == "b" || b->Caption() == "b")
                throw std::runtime_error("no");
            result = a->Caption().compare(b->Caption());
        };
        list->ResortItems();
        QVERIFY(finished);
        QStringList names = Column(*list, 0);
        names.sort();
        QCOMPARE(names, (QStringList{"a", "b", "c", "d"}));
    }

    void SortStartedInsideOnSortItems_isRefused()
    {
        auto list = MakeList(acsSort, assDefault);
        for (const char* n : {"c", "a", "b"})
            AddRow(*list, {n});
        int begins = 0;
        list->OnSortBegin = [&](QObject*, int, bool) { ++begins; };
        list->OnSortItems = [&](QObject*, TListItem* a, TListItem* b, int, int& result) {
            list->SortByColumn(0, false);
            result = a->Caption().compare(b->Caption());
        };
        list->ResortItems();
        QCOMPARE(begins, 1);
        QCOMPARE(Column(*list, 0), (QStringList{"a", "b", "c"}));
    }

    void SortOfAnotherListInsideAComparison_leavesTheRunningSortItsDirection()
    {
        auto outer = MakeList(acsSort, assDefault);
        auto inner = MakeList(acsSort, assDefault);
        for (const char* n : {"c", "a", "d", "b"}) {
            AddRow(*outer, {n});
            AddRow(*inner, {n});
        }
        inner->HandleNeeded();
        bool innerSorted = false;
        outer->OnSortItems = [&](QObject*, TListItem* a, TListItem* b, int, int& result) {
            if (!innerSorted) {
                innerSorted = true;
                inner->SortByColumn(0, false); // descending, by the built-in comparison
            }
            result = a->Caption().compare(b->Caption());
        };
        outer->SortByColumn(0, true);
        QCOMPARE(Column(*outer, 0), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(Column(*inner, 0), (QStringList{"d", "c", "b", "a"}));
    }

    void AutoSortAscending_changesTheNextResortOnly()
    {
        auto list = MakeList(acsSort, assDefault);
        for (const char* n : {"b", "a", "c"})
            AddRow(*list, {n});
        list->SetAutoSortAscending(false);
        QCOMPARE(Column(*list, 0), (QStringList{"b", "a", "c"}));
        list->ResortItems();
        QCOMPARE(Column(*list, 0), (QStringList{"c", "b", "a"}));
    }

    void TextColumns_sortAsAStableCollationSort_data()
    {
        QTest::addColumn<int>("Distinct"); // how many values the sorted column takes
        QTest::addColumn<int>("Rows");
        // 0: rows come in no order; 1: sorted but for one pair; 2: sorted.
        QTest::addColumn<int>("InOrder");
        QTest::newRow("a few dozen values") << 30 << 9000 << 0;
        QTest::newRow("a few thousand values") << 3000 << 9000 << 0;
        QTest::newRow("every row its own value") << 9000 << 9000 << 0;
        // Enough rows for their keys to be made on two threads.
        QTest::newRow("every row its own value, a long list") << 24000 << 24000 << 0;
        // Enough rows for keys of the collation's first level alone, the comparison settling
        // rows alike at that level ("lody 3", "Lody 3").
        QTest::newRow("every row its own value, a longer list") << 70000 << 70000 << 0;
        // Enough rows for two threads to check that they stand in order already.
        QTest::newRow("a long list in order but for one pair") << 3000 << 40000 << 1;
        QTest::newRow("a long list in order") << 3000 << 40000 << 2;
    }
    void TextColumns_sortAsAStableCollationSort()
    {
        // Keys shared by rows of one value, and keys of their own where values hardly repeat,
        // must order together exactly as the collation does, with equal rows kept in order;
        // also after rows change and when the direction turns.
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        QFETCH(int, Distinct);
        QFETCH(int, Rows);
        QFETCH(int, InOrder);
        const char* stems[] = {"\xb3\xf3"
                               "d\xbc",
                               "\xa3\xf3"
                               "d\xbc",
                               "lody",
                               "Lody",
                               "ch\xf3r",
                               "cma",
                               "\xe6ma",
                               "\xb9s",
                               "as",
                               "Zorza",
                               "\xbf\xf3\xb3w"};
        auto value = [&](int Row) {
            const int v = (Row * 7919) % Distinct;
            return std::string(stems[v % 11]) + " " + std::to_string(v / 11);
        };
        std::vector<std::string> values;
        for (int i = 0; i < Rows; ++i)
            values.push_back(value(i));
        if (InOrder > 0)
            std::stable_sort(values.begin(), values.end(), [](const auto& A, const auto& B) {
                return Locale::CompareText(A, B) < 0;
            });
        if (InOrder == 1) {
            auto unequal = values.begin() + Rows * 3 / 4;
            while (Locale::CompareText(*unequal, *(unequal + 1)) == 0)
                ++unequal;
            std::iter_swap(unequal, unequal + 1);
        }
        auto list = MakeList(acsSort, assDefault);
        for (int i = 0; i < Rows; ++i) {
            AddRow(*list, {std::string("r").append(std::to_string(i)), values[std::size_t(i)]});
            if (i % 3000 == 1 && InOrder == 0) // keys too long to share room with others
                AddRow(*list, {std::string("long").append(std::to_string(i)),
                               std::string(150000 + i, 'l')});
        }
        auto expected = [&](bool Ascending) {
            std::vector<std::pair<std::string, std::string>> rows;
            for (int i = 0; i < list->Items().Count(); ++i) {
                const TListItem* item = list->Items().Item(i);
                rows.emplace_back(item->SubItem(0), item->Caption());
            }
            std::stable_sort(rows.begin(), rows.end(), [&](const auto& A, const auto& B) {
                const int c = Locale::CompareText(A.first, B.first);
                return Ascending ? c < 0 : c > 0;
            });
            QStringList captions;
            for (const auto& r : rows)
                captions << QString::fromStdString(r.second);
            return captions;
        };
        for (const bool ascending : {true, false, true}) {
            const QStringList wanted = expected(ascending);
            list->SortByColumn(1, ascending);
            QCOMPARE(Column(*list, 0), wanted);
        }
        for (int i = 0; i < 40; ++i) // some rows change their value
            list->Items().Item(i * 97)->SetSubItem(0, value(i * 13 + 5));
        const QStringList wanted = expected(true);
        list->SortByColumn(1, true);
        QCOMPARE(Column(*list, 0), wanted);
    }

    void RowsWithFewerSubItems_sortAsEmptyCells()
    {
        auto list = MakeList(acsSort, assDefault);
        AddRow(*list, {"full", "b"});
        AddRow(*list, {"short"});
        AddRow(*list, {"full2", "a"});
        list->SortByColumn(1, true);
        QCOMPARE(Column(*list, 0), (QStringList{"short", "full2", "full"}));
    }

    void ChangedText_isSortedByItsNewValue()
    {
        // Given a list sorted once, so its rows carry prepared keys
        auto list = MakeList(acsSort, assDefault);
        for (const char* n : {"b", "a", "c"})
            AddRow(*list, {n});
        list->ResortItems();
        // When a row's text changes
        list->Items().Item(0)->SetCaption("z");
        list->ResortItems();
        // Then the next sort sees the new text
        QCOMPARE(Column(*list, 0), (QStringList{"b", "c", "z"}));
    }

    void SortBeginAndFinished_carryTheDirectionOfTheSort()
    {
        auto list = MakeList(acsSort, assDefault);
        AddRow(*list, {"a"});
        QList<bool> flags;
        list->OnSortBegin = [&](QObject*, int, bool ascending) { flags << ascending; };
        list->OnSortFinished = [&](QObject*, int, bool ascending) { flags << ascending; };
        list->SortByColumn(0, false);
        list->SortByColumn(0, true);
        QCOMPARE(flags, (QList<bool>{false, false, true, true}));
    }

    void Version_namesTheLevel()
    {
        TdfsExtListView list;
        QCOMPARE(list.Version(), std::string("TdfsExtListView v3.55"));
        TCustomEnhListView enh;
        QCOMPARE(enh.Version(), std::string("TdfsEnhListView v3.55"));
    }
};

QTEST_MAIN(TestEnhListView)
#include "tst_EnhListView.moc"
