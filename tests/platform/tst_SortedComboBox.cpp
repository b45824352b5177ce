// Sorted pick lists: collated order ignoring case, and code that selects raises no change.
#include "Cp1250.h"
#include "FieldValidator.h"
#include "SortedComboBox.h"

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
