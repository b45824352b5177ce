// Find as you type: the shown rows narrow to those that hold the text in any field, whatever
// its case and diacritics; the filters still hold; the counts follow; Escape gives back what
// the filters alone show; edits keep the text applied; the line's keys edit the line.
#include "FindBar.h"
#include "FindText.h"
#include "support/MainFormFixture.h"
#include <QCheckBox>

#include <QLineEdit>

using namespace TestSupport;

namespace {

// Records whose names carry every Polish diacritic, in both cases.
const QByteArray kPolish =
    "\xa3\xf3"
    "d\x9f\tRock\t1\tA1\t\r\n"                                       // Łódź
    "\xbf\xf3\xb3w\tPop\t2\tB2\tAnia\r\n"                            // żółw
    "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1\tJazz\t3\tC\t\r\n" // Zażółć gęślą jaźń
    "\xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf\tPop\t4\tD\tOla\r\n"       // ĄĆĘŁŃÓŚŹŻ
    "Abba\tKlasyka\t5\t\xafoliborz\t\r\n";                           // shelf Żoliborz

void Type(TFixture& F, const QString& Text)
{
    if (!F.Main->FindBar->isVisible())
        QTest::keyClick(F.Main.get(), Qt::Key_F, Qt::ControlModifier);
    QLineEdit* line = F.Main->FindBar->Line();
    QTRY_VERIFY(line->hasFocus());
    line->setText(Text);
    QTRY_COMPARE(F.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
    QCoreApplication::processEvents();
}

} // namespace

class TestFind : public QObject
{
    Q_OBJECT
private slots:
    void Fold_takesEveryPolishLetterToItsBareSmallForm()
    {
        const QString with = QString::fromUtf8("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
        const QString bare = QStringLiteral("acelnoszzacelnoszz");
        const std::string bytes = *Cp1250::FromUnicode(with);
        QCOMPARE(QString::fromLatin1(FindText::Folded(bytes).c_str()), bare);
        QCOMPARE(QString::fromLatin1(FindText::Folded("ABC xyz 09").c_str()),
                 QStringLiteral("abc xyz 09"));
    }

    void Typing_narrowsToTheRowsThatHoldTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("lodz finds Łódź") << "lodz" << QStringList{QString::fromUtf8("Łódź")};
        QTest::newRow("ZOLW finds żółw") << "ZOLW" << QStringList{QString::fromUtf8("żółw")};
        QTest::newRow("capitals with diacritics find small bare letters")
            << QString::fromUtf8("ZAŻÓŁĆ GĘŚLĄ")
            << QStringList{QString::fromUtf8("Zażółć gęślą jaźń")};
        QTest::newRow("bare letters find capitals with diacritics")
            << "acelnoszz" << QStringList{QString::fromUtf8("ĄĆĘŁŃÓŚŹŻ")};
        QTest::newRow("a shelf") << "zoliborz" << QStringList{"Abba"};
        QTest::newRow("a kind") << "jazz" << QStringList{QString::fromUtf8("Zażółć gęślą jaźń")};
        QTest::newRow("the lent-to field") << "ANIA" << QStringList{QString::fromUtf8("żółw")};
        QTest::newRow("a disc count") << "4" << QStringList{QString::fromUtf8("ĄĆĘŁŃÓŚŹŻ")};
        QTest::newRow("nothing") << "xyz" << QStringList{};
        QTest::newRow("a character no record can hold") << QString::fromUtf8("漢") << QStringList{};
    }
    void Typing_narrowsToTheRowsThatHoldTheText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        TFixture f(&kPolish);
        Type(f, text);
        QStringList shown = Column(*f.Main->dfsList1, 0);
        shown.sort();
        names.sort();
        QCOMPARE(shown, names);
        QCOMPARE(f.Main->StatusText(spItems), QStringLiteral("Pozycji: %1").arg(names.size()));
    }

    void Find_holdsWithTheOtherFilters_data()
    {
        QTest::addColumn<int>("filter"); // 0 not lent only, 1 lent only, 2 kind Pop
        QTest::addColumn<QStringList>("names");
        QTest::newRow("not lent") << 0
                                  << QStringList{"Abba", QString::fromUtf8("Zażółć gęślą jaźń")};
        QTest::newRow("lent") << 1
                              << QStringList{QString::fromUtf8("żółw"),
                                             QString::fromUtf8("ĄĆĘŁŃÓŚŹŻ")};
        QTest::newRow("kind Pop") << 2
                                  << QStringList{QString::fromUtf8("żółw"),
                                                 QString::fromUtf8("ĄĆĘŁŃÓŚŹŻ")};
    }
    void Find_holdsWithTheOtherFilters()
    {
        QFETCH(int, filter);
        QFETCH(QStringList, names);
        TFixture f(&kPolish);
        if (filter == 0)
            QTest::mouseClick(f.Main->Porz, Qt::LeftButton);
        else if (filter == 1)
            QTest::mouseClick(f.Main->Nieporz, Qt::LeftButton);
        else
            Choose(*f.Main->ComboBox1, "Pop");
        Type(f, "ol"); // in żółw, Zażółć, Abba's shelf Żoliborz, and Ola
        QStringList shown = Column(*f.Main->dfsList1, 0);
        shown.sort();
        names.sort();
        QCOMPARE(shown, names);
    }

    void TypingFurther_keepsTheSortAndCountsTheDiscs()
    {
        TFixture f(&kPolish);
        // By disc count, descending, as two clicks on its header leave it.
        f.Main->dfsList1->SetCurrentSortDirection(false);
        f.Main->dfsList1->SortByColumn(2, false);
        Type(f, "o");  // every record
        Type(f, "ol"); // narrowed, in the order sorted
        QCOMPARE(Column(*f.Main->dfsList1, 0),
                 (QStringList{"Abba", QString::fromUtf8("ĄĆĘŁŃÓŚŹŻ"),
                              QString::fromUtf8("Zażółć gęślą jaźń"), QString::fromUtf8("żółw")}));
        QCOMPARE(f.Main->StatusText(spDiscs), QStringLiteral("Płyt: 14"));
    }

    void Escape_showsWhatTheFiltersAloneShow()
    {
        TFixture f(&kPolish);
        QTest::mouseClick(f.Main->Nieporz, Qt::LeftButton); // lent ones only: two
        Type(f, "zolw");
        QCOMPARE(f.Main->dfsList1->Items().Count(), 1);
        QTest::keyClick(f.Main->FindBar->Line(), Qt::Key_Escape);
        QTRY_VERIFY(!f.Main->FindBar->isVisible());
        QCOMPARE(f.Main->dfsList1->Items().Count(), 2);
        QCOMPARE(f.Main->StatusText(spItems), QStringLiteral("Pozycji: 2"));
        // Ctrl+F again opens an empty line.
        QTest::keyClick(f.Main.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.Main->FindBar->isVisible());
        QVERIFY(f.Main->FindBar->Line()->text().isEmpty());
    }

    void EditWhileFinding_keepsTheTextApplied()
    {
        TFixture f(&kPolish);
        Type(f, "pop");
        QCOMPARE(f.Main->dfsList1->Items().Count(), 2);
        // Another record of kind Pop comes; the find still holds and shows it.
        f.Main->AllList->Items().Add(TRowText::FromFields({"Nowy", "Pop", "1", "X", ""}));
        f.Main->Wyswietl(f.Main->FindBar);
        QCOMPARE(f.Main->dfsList1->Items().Count(), 3);
        // Deleting a shown row keeps the rest found.
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        f.Main->UsunClick(f.Main->Usun);
        QCOMPARE(f.Main->dfsList1->Items().Count(), 2);
        f.Main->CofnijClick(f.Main.get());
        QCOMPARE(f.Main->dfsList1->Items().Count(), 3);
    }

    void KeysInTheFindLine_editTheLine_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier);
    }
    void KeysInTheFindLine_editTheLine()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        TFixture f(&kPolish);
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        f.Main->UsunClick(f.Main->Usun); // something Ctrl+Z could take back
        const int rows = f.Main->AllList->Items().Count();
        Type(f, "a");
        f.Main->FindBar->Line()->setCursorPosition(0);
        QTest::keyClick(f.Main->FindBar->Line(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QCOMPARE(f.Main->AllList->Items().Count(), rows); // no record deleted or brought back
        QVERIFY(f.Main->FindBar->isVisible());
        QVERIFY(f.Edytuj->isHidden());
    }
};

QTEST_MAIN(TestFind)
#include "tst_Find.moc"
