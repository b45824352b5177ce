// The kinds' and shelves' pick lists kept up to date through the master list's journal: after
// any run of changes they offer what reading every row afresh offers.
#include "Cp1250.h"
#include "ListView.h"
#include "PickLists.h"
#include "SortedComboBox.h"

#include <QLocale>
#include <QtTest>

#include <random>
#include <string>
#include <vector>

namespace {

const std::string kFirst = "- Wszystkie -";

QStringList Entries(const TSortedComboBox& Box)
{
    QStringList all;
    for (int i = 0; i < Box.Count(); ++i)
        all += Cp1250::ToUnicode(Box.Item(i));
    return all;
}

// Two pick lists over the kind (field 1) and the shelf (field 3) of List's rows.
struct TLists
{
    TSortedComboBox Kinds{TSortedComboBox::csDropDownList};
    TSortedComboBox Shelves{TSortedComboBox::csDropDownList};
    TPickLists Lists{{TPickLists::TList{&Kinds, 1}, TPickLists::TList{&Shelves, 3}}, kFirst};
};

int ByName(Win::LPARAM A, Win::LPARAM B, Win::LPARAM)
{
    return reinterpret_cast<TListItem*>(A)->Caption().compare(
        reinterpret_cast<TListItem*>(B)->Caption());
}

} // namespace

class TestPickLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }

    void AfterAnyChanges_offerWhatAFreshReadingOffers_data()
    {
        QTest::addColumn<bool>("OneSpelling"); // no value spelt in two ways
        QTest::addColumn<unsigned>("Seed");
        for (unsigned seed : {1u, 2u, 3u}) {
            QTest::addRow("one spelling each, run %u", seed) << true << seed;
            QTest::addRow("spellings mixed, run %u", seed) << false << seed;
        }
    }
    void AfterAnyChanges_offerWhatAFreshReadingOffers()
    {
        QFETCH(bool, OneSpelling);
        QFETCH(unsigned, Seed);
        std::vector<std::string> kinds, shelves;
        for (const char* k : {"Rock", "Jazz", "Pop", "", "Łódź", "Klasyka"})
            kinds.push_back(Cp1250::FromUtf8(k));
        for (int i = 0; i < 40; ++i)
            shelves.push_back(Cp1250::FromUtf8("Półka ") + std::to_string(i));
        if (!OneSpelling) {
            for (const char* k : {"rock", "JAZZ", "łÓDŹ", "- WSZYSTKIE -", "- Wszystkie -"})
                kinds.push_back(Cp1250::FromUtf8(k));
            for (int i = 0; i < 5; ++i)
                shelves.push_back(Cp1250::FromUtf8("PÓŁKA ") + std::to_string(i));
        }
        TCustomListView master;
        TListItems& rows = master.Items();
        std::mt19937 random(Seed);
        const auto pick = [&](std::size_t Count) { return random() % Count; };
        const auto record = [&] {
            return TRowText::FromFields({std::string("n").append(std::to_string(random() % 1000)),
                                         kinds[pick(kinds.size())], "1",
                                         shelves[pick(shelves.size())], ""});
        };
        for (int i = 0; i < 30; ++i)
            rows.Add()->SetTexts(record());
        TLists followed;
        TRowTextJournal& journal = master.Control().TextJournal();
        for (int round = 0; round < 150; ++round) {
            // Mostly a few changes; now and then more than the journal holds, or none.
            const int changes =
                round % 40 == 39 ? int(TRowTextJournal::kRoom) : int(pick(round % 7 ? 4 : 1));
            for (int c = 0; c < changes; ++c) {
                const int count = rows.Count();
                const int at = count > 0 ? int(pick(std::size_t(count))) : 0;
                switch (count > 0 ? pick(8) : 0) {
                case 0:
                    rows.Add()->SetTexts(record());
                    break;
                case 1:
                    rows.Insert(at)->SetTexts(record());
                    break;
                case 2:
                    if (count > 10)
                        rows.Delete(at);
                    break;
                case 3:
                    rows.Item(at)->SetSubItem(0, kinds[pick(kinds.size())]);
                    break;
                case 4:
                    rows.Item(at)->SetSubItem(2, shelves[pick(shelves.size())]);
                    break;
                case 5:
                    rows.Item(at)->SetTexts(record());
                    break;
                case 6:
                    master.Control().SortItems(&ByName, 0);
                    break;
                default:
                    if (round % 25 == 24)
                        rows.Clear();
                    else
                        rows.Item(at)->SetCaption(std::string("x").append(std::to_string(c)));
                    break;
                }
            }
            followed.Lists.Refresh(rows, journal);
            TLists fresh;
            TRowTextJournal none; // never started: the lists read every row
            fresh.Lists.Refresh(rows, none);
            QCOMPARE(Entries(followed.Kinds), Entries(fresh.Kinds));
            QCOMPARE(Entries(followed.Shelves), Entries(fresh.Shelves));
        }
    }

    // A list long enough for each pick list to read the rows on a thread of its own offers each
    // value once, as its first row spells it, and follows changes from there as a short one.
    void LongList_offersEachValueOnceAsItsFirstRowSpellsIt()
    {
        std::vector<std::string> kinds, shelves;
        for (const char* k : {"Rock", "rock", "ROCK", "Jazz", "Łódź", "łÓDŹ", ""})
            kinds.push_back(Cp1250::FromUtf8(k));
        for (int i = 0; i < 300; ++i)
            kinds.push_back("Kind " + std::to_string(i));
        for (int i = 0; i < 2000; ++i)
            shelves.push_back(Cp1250::FromUtf8(i % 3 ? "Półka " : "PÓŁKA ") +
                              std::to_string(i / 2));
        TCustomListView master;
        TListItems& rows = master.Items();
        std::mt19937 random(7);
        for (int i = 0; i < 20000; ++i)
            rows.Add()->SetTexts(TRowText::FromFields({"n", kinds[random() % kinds.size()], "1",
                                                       shelves[random() % shelves.size()], ""}));
        TLists followed;
        followed.Lists.Refresh(rows, master.Control().TextJournal());
        for (const auto& [box, field] :
             {std::pair{&followed.Kinds, 1}, std::pair{&followed.Shelves, 3}}) {
            QStringList expected{QString::fromStdString(kFirst)};
            QSet<QString> met{expected.front().toCaseFolded()};
            const int subItem = field - 1;
            rows.ForEach([&](const TListItem& Row) {
                const QString value = Cp1250::ToUnicode(Row.SubItem(subItem));
                if (!met.contains(value.toCaseFolded())) {
                    met.insert(value.toCaseFolded());
                    expected += value;
                }
            });
            QStringList offered = Entries(*box);
            offered.sort();
            expected.sort();
            QCOMPARE(offered, expected);
        }
        // Every "Jazz" row and the first row of each shelf go: the values' texts were kept.
        rows.DeleteIf([](const TListItem& Row) { return Row.SubItem(0) == "Jazz"; });
        for (int i = 0; i < 50; ++i)
            rows.Item(i)->SetSubItem(2, "moved " + std::to_string(i));
        followed.Lists.Refresh(rows, master.Control().TextJournal());
        TLists fresh;
        TRowTextJournal none;
        fresh.Lists.Refresh(rows, none);
        QCOMPARE(Entries(followed.Kinds), Entries(fresh.Kinds));
        QCOMPARE(Entries(followed.Shelves), Entries(fresh.Shelves));
        QVERIFY(!Entries(followed.Kinds).contains("Jazz"));
    }
};

QTEST_MAIN(TestPickLists)
#include "tst_PickLists.moc"
