// Sorted pick lists: collated order ignoring case, and code that selects raises no change.
#include "Cp1250.h"
#include "FieldValidator.h"
#include "Locale.h"
#include "SortedComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QLocale>
#include <QtTest>

class TestSortedComboBox : public QObject
{
    Q_OBJECT

    static QStringList Entries(const TSortedComboBox& Box)
    {
        QStringList all;
        for (int i = 0; i < Box.count(); ++i)
            all << Box.itemText(i);
        return all;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }

    void Entries_standInCollatedOrderIgnoringCase_data()
    {
        QTest::addColumn<bool>("bulk");
        QTest::newRow("one at a time") << false;
        QTest::newRow("in one update") << true;
    }
    void Entries_standInCollatedOrderIgnoringCase()
    {
        QFETCH(bool, bulk);
        TSortedComboBox box(TSortedComboBox::csDropDownList);
        if (bulk)
            box.BeginUpdate();
        for (const char* e :
             {"rock", "Łódź", "jazz", "- Wszystkie -", "Lubelski", "2 CD", "", "Ćma", "Cygan"})
            box.Add(Cp1250::FromUtf8(e));
        if (bulk)
            box.EndUpdate();
        QCOMPARE(Entries(box),
                 (QStringList{"", "- Wszystkie -", "2 CD", "Cygan", QString::fromUtf8("Ćma"),
                              "jazz", "Lubelski", QString::fromUtf8("Łódź"), "rock"}));
    }

    void Refreshes_showTheStableCollatedOrderOfWhatWasAdded_data()
    {
        // Each step refreshes the list (cleared, then filled in one update) with its entries;
        // a step that starts with "+" adds its entries one at a time, without clearing.
        QTest::addColumn<QList<QStringList>>("steps");
        QStringList many;
        for (int i = 0; i < 60; ++i)
            many << QStringLiteral("P%1").arg(i);
        QStringList oneReplaced = many;
        oneReplaced[7] = QStringLiteral("N7");
        QStringList turned = oneReplaced;
        std::reverse(turned.begin(), turned.end());
        QTest::newRow("the same entries in another order")
            << QList<QStringList>{{"d", "b", "c", "a"}, {"a", "c", "b", "d"}, {"c", "d", "a", "b"}};
        QTest::newRow("one entry comes, one goes")
            << QList<QStringList>{many, oneReplaced, turned, many};
        QTest::newRow("entries equal ignoring case keep the order they came in")
            << QList<QStringList>{
                   {"Rock", "pop", "rock"}, {"rock", "pop", "Rock"}, {"rock", "pop", "Rock"}};
        QTest::newRow("a new entry equal ignoring case to one kept")
            << QList<QStringList>{{"Rock", "pop"}, {"pop", "Rock", "rock"}, {"Rock", "pop"}};
        QTest::newRow("new entries equal ignoring case to each other")
            << QList<QStringList>{{"a", "b"}, {"b", "x", "a", "X"}, {"X", "b", "a", "x"}};
        QTest::newRow("an entry twice") << QList<QStringList>{
            {"a", "a", "b"}, {"b", "a", "a"}, {"a", "b"}, {"a", "a"}, {"a", "b", "b"}};
        QTest::newRow("entries added between refreshes")
            << QList<QStringList>{{"a", "c"}, {"+", "b"}, {"a", "c"}, {"c", "a"}};
        QTest::newRow("fewer entries, then more")
            << QList<QStringList>{{"x", "y", "z"}, {"y"}, {}, {"z", "y", "x"}};
    }
    void Refreshes_showTheStableCollatedOrderOfWhatWasAdded()
    {
        QFETCH(QList<QStringList>, steps);
        TSortedComboBox box(TSortedComboBox::csDropDownList);
        QStringList added;
        for (const QStringList& step : steps) {
            const bool more = !step.isEmpty() && step.front() == QStringLiteral("+");
            if (more) {
                for (qsizetype i = 1; i < step.size(); ++i) {
                    box.Add(Cp1250::FromUnicode(step[i]).value());
                    added << step[i];
                }
            } else {
                box.BeginUpdate();
                box.Clear();
                for (const QString& e : step)
                    box.Add(Cp1250::FromUnicode(e).value());
                box.EndUpdate();
                added = step;
            }
            QStringList expected = added;
            std::stable_sort(expected.begin(), expected.end(),
                             [](const QString& A, const QString& B) {
                                 return Locale::CompareTextIgnoreCase(A, B) < 0;
                             });
            QCOMPARE(Entries(box), expected);
        }
    }

    void FindIgnoreCase_findsAnySpelling()
    {
        TSortedComboBox box(TSortedComboBox::csDropDownList);
        box.Add("Rock");
        box.Add(Cp1250::FromUtf8("Żółw"));
        QCOMPARE(box.FindIgnoreCase("rOCK"), box.findText("Rock"));
        QCOMPARE(box.FindIgnoreCase(Cp1250::FromUtf8("ŻÓŁW")),
                 box.findText(QString::fromUtf8("Żółw")));
        QCOMPARE(box.FindIgnoreCase("Pop"), -1);
    }

    void SelectingFromCode_raisesNoChange_butTheUsersChoiceDoes()
    {
        TSortedComboBox box(TSortedComboBox::csDropDownList);
        int changes = 0;
        box.OnChange = [&](QObject*) { ++changes; };
        box.Add("a");
        box.Add("b");
        box.Add("c");
        box.SetItemIndex(1);
        box.SetText("c");
        QCOMPARE(changes, 0);
        box.show();
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(changes, 1);
        QCOMPARE(box.Text(), std::string("b"));
    }

    void LongEntry_isShownCut_butChosenWhole_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::newRow("pick list") << false;
        QTest::newRow("editable pick list") << true;
    }
    void LongEntry_isShownCut_butChosenWhole()
    {
        QFETCH(bool, editable);
        TSortedComboBox box(editable ? TSortedComboBox::csDropDown
                                     : TSortedComboBox::csDropDownList);
        int changes = 0;
        box.OnChange = [&](QObject*) { ++changes; };
        const std::string shelf = std::string(1'000'000, 'S') + "\xb9"; // ends in "ą"
        box.Add("A1");
        box.Add(shelf);
        QCOMPARE(box.Item(1), shelf);
        QCOMPARE(box.FindIgnoreCase(shelf), 1);
        // What the drop-down lays out is the beginning only.
        const QString shown = box.view()->model()->index(1, 0).data().toString();
        QCOMPARE(shown.size(), 4097);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        box.SetItemIndex(0);
        box.show();
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(box.Text(), shelf);
        QCOMPARE(changes, 1);
        box.SetItemIndex(-1);
        box.SetText(shelf);
        QCOMPARE(box.Text(), shelf);
        QVERIFY(editable || box.currentIndex() == 1);
    }

    void EditablePickList_refusesTextTheFileCannotHold()
    {
        TSortedComboBox box(TSortedComboBox::csDropDown);
        box.show();
        box.setFocus();
        QTest::keyClicks(&box, QStringLiteral("Jazz "));
        box.lineEdit()->insert(QString::fromUtf8("Ж")); // as a paste does
        QCOMPARE(box.currentText(), QStringLiteral("Jazz "));
        QVERIFY(!TFieldValidator::IsStorable(QStringLiteral("a\tb")));
        QVERIFY(TFieldValidator::IsStorable(QString::fromUtf8("Zażółć")));
    }
};

QTEST_MAIN(TestSortedComboBox)
#include "tst_SortedComboBox.moc"
