// The catalogue as its user meets it: start-up, filters, the close guard, the dialogs,
// saving and printing, driven through the real widgets.
#include "Cp1250.h"
#include "Dodaj.h"
#include "Edytuj.h"
#include "ExtListView.h"
#include "Main.h"
#include "Printing.h"
#include "RecordField.h"
#include "SortedComboBox.h"
#include "support/ListTexts.h"
#include "support/MainFormFixture.h"
#include "support/RecordingCanvas.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <map>

using namespace TestSupport;

class TestMainForm : public QObject
{
    Q_OBJECT
    // The user's settings folder, for the lists' settings store.
    QTemporaryDir m_Settings;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        QVERIFY(m_Settings.isValid());
        qputenv("XDG_CONFIG_HOME", m_Settings.path().toLocal8Bit());
    }

    void StartUp_showsTheCatalogueSortedByName_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("discs");
        QTest::newRow("missing file") << QByteArray() << true << QStringList{} << "Płyt: 0";
        QTest::newRow("empty file") << QByteArray() << false << QStringList{} << "Płyt: 0";
        QTest::newRow("small catalogue")
            << kSmall << false
            << QStringList{"Abba", "Atlas", "Bach", "Chopin", QString::fromUtf8("Kolędy")}
            << "Płyt: 20";
    }
    void StartUp_showsTheCatalogueSortedByName()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, missing);
        QFETCH(QStringList, names);
        QFETCH(QString, discs);
        TFixture f(missing ? nullptr : &content);
        QCOMPARE(Column(*f.Main->dfsList1, 0), names);
        QCOMPARE(f.Main->StatusText(spItems), QStringLiteral("Pozycji: %1").arg(names.size()));
        QCOMPARE(f.Main->StatusText(spDiscs), QString::fromUtf8(discs.toUtf8()));
        QCOMPARE(f.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
        QVERIFY(!f.Main->StatusText(spClock).isEmpty());
        QVERIFY(f.Main->Zapisane);
        // The master list keeps the file's order.
        QCOMPARE(f.Main->AllList->Items().Count(), int(names.size()));
        if (!names.isEmpty())
            QCOMPARE(Column(*f.Main->AllList, 0).first(), QString::fromUtf8("Kolędy"));
    }

    void Filters_showOnlyTheMatchingRecords_data()
    {
        QTest::addColumn<bool>("lent");
        QTest::addColumn<bool>("notLent");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shelf");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("discs");
        const QString all = "- Wszystkie -";
        QTest::newRow("nothing checked")
            << false << false << all << all << QStringList{} << "Płyt: 0";
        QTest::newRow("lent only")
            << true << false << all << all << QStringList{"Atlas", "Abba"} << "Płyt: 13";
        QTest::newRow("not lent on shelf A1")
            << false << true << all << "A1" << QStringList{QString::fromUtf8("Kolędy"), "Bach"}
            << "Płyt: 5";
        QTest::newRow("kind spelled as first met")
            << true << true << "Program" << all << QStringList{"Atlas"} << "Płyt: 12";
    }
    void Filters_showOnlyTheMatchingRecords()
    {
        QFETCH(bool, lent);
        QFETCH(bool, notLent);
        QFETCH(QString, kind);
        QFETCH(QString, shelf);
        QFETCH(QStringList, names);
        QFETCH(QString, discs);
        TFixture f(&kSmall);
        if (!lent)
            QTest::mouseClick(f.Main->Porz, Qt::LeftButton, {}, QPoint(5, 8));
        if (!notLent)
            QTest::mouseClick(f.Main->Nieporz, Qt::LeftButton, {}, QPoint(5, 8));
        Choose(*f.Main->ComboBox1, kind);
        Choose(*f.Main->ComboBox2, shelf);
        QCOMPARE(Column(*f.Main->dfsList1, 0), names); // master order, not re-sorted
        QCOMPARE(f.Main->StatusText(spItems), QStringLiteral("Pozycji: %1").arg(names.size()));
        QCOMPARE(f.Main->StatusText(spDiscs), discs);
    }

    // A list long enough that the rows passing are found beside the old rows going: the
    // same rows in master order, the same discs, each time the filter changes.
    void Filters_ofALongList_showTheMatchingRecordsInMasterOrder()
    {
        QByteArray file;
        QStringList all;
        QStringList notLent;
        std::int64_t notLentDiscs = 0;
        std::int64_t allDiscs = 0;
        for (int i = 0; i < 20000; ++i) {
            const QByteArray name = "n" + QByteArray::number((i * 7919) % 20000);
            const bool lent = i % 3 == 0;
            file += name + "	Rock	" + QByteArray::number(i % 5) + "	A	" +
                    (lent ? "Ola" : "") + "\r\n";
            all << QString(name);
            allDiscs += i % 5;
            if (!lent) {
                notLent << QString(name);
                notLentDiscs += i % 5;
            }
        }
        TFixture f(&file);
        for (const bool lentShown : {false, true, false}) {
            QTest::mouseClick(f.Main->Porz, Qt::LeftButton, {}, QPoint(5, 8));
            QCOMPARE(f.Main->Porz->isChecked(), lentShown);
            QCOMPARE(Column(*f.Main->dfsList1, 0), lentShown ? all : notLent);
            QCOMPARE(f.Main->StatusText(spDiscs),
                     QStringLiteral("Płyt: %1").arg(lentShown ? allDiscs : notLentDiscs));
        }
    }

    // Between two filter changes something else happens; after each, the shown rows are the
    // master rows that pass, in master order, and each record's texts are held by its master
    // row, by each shown copy and by whoever held them at the start (the pick lists): no hold
    // is lost (texts freed under a row) or left over (texts kept for good), whether the view
    // was rebuilt from scratch or kept its holds.
    void Filters_changedAgain_showThePassingRowsAndHoldTheirTextsOnce_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("between");
        for (const int records : {40, 20000}) {
            for (const char* between : {"nothing", "view sorted", "master sorted", "record edited",
                                        "record deleted", "kind chosen"})
                QTest::addRow("%d records, %s", records, between) << records << between;
        }
    }

    void Filters_changedAgain_showThePassingRowsAndHoldTheirTextsOnce()
    {
        QFETCH(int, records);
        QFETCH(QString, between);
        QByteArray file;
        for (int i = 0; i < records; ++i)
            file += "n" + QByteArray::number((i * 7919) % records) + "\t" +
                    (i % 4 == 0 ? "Jazz" : "Rock") + "\t1\tA\t" + (i % 3 == 0 ? "Ola" : "") +
                    "\r\n";
        TFixture f(&file);
        TdfsExtListView& master = *f.Main->AllList;
        TdfsExtListView& shown = *f.Main->dfsList1;
        // Other holders of a record's texts (pick lists, the journal of edits), by its bytes.
        const auto othersNow = [&] {
            std::map<const void*, int> copies;
            master.Items().ForEach([&](const TListItem& Row) { copies[&Row] = 0; });
            // A shown row whose master row was deleted under it (not through the window) is
            // left alone.
            shown.Items().ForEach([&](const TListItem& Row) {
                const auto* of = static_cast<const TListItem*>(Row.Data());
                if (copies.count(of))
                    copies[of] += Row.Texts().SharesWith(of->Texts());
            });
            std::map<const char*, int> others;
            master.Items().ForEach([&](const TListItem& Row) {
                others[Row.Caption().data()] = int(Row.Texts().Holders()) - 1 - copies[&Row];
            });
            return others;
        };
        for (int step = 0; step < 4; ++step) {
            if (between == "view sorted")
                shown.SortByColumn(step % 2, step % 3 != 0);
            else if (between == "master sorted")
                master.SortByColumn(0, step % 2 == 0);
            else if (between == "record edited")
                master.Items()[step * 7]->SetSubItem(3, step % 2 ? "Ola" : "");
            else if (between == "record deleted")
                master.Items().Delete(step * 5);
            else if (between == "kind chosen")
                Choose(*f.Main->ComboBox1, step % 2 ? "Jazz" : "- Wszystkie -");
            const std::map<const char*, int> others = othersNow();
            QTest::mouseClick(f.Main->Porz, Qt::LeftButton, {}, QPoint(5, 8));

            const bool lentShown = f.Main->Porz->isChecked();
            const std::string kind = step % 2 && between == "kind chosen" ? "Jazz" : "";
            QList<const void*> expected;
            master.Items().ForEach([&](const TListItem& Row) {
                const bool lent = !Row.SubItem(3).empty();
                if ((lentShown || !lent) && (kind.empty() || Row.SubItem(0) == kind))
                    expected << &Row;
            });
            QList<const void*> actual;
            shown.Items().ForEach([&](const TListItem& Row) {
                actual << Row.Data();
                const auto* of = static_cast<const TListItem*>(Row.Data());
                QVERIFY(Row.Texts().SharesWith(of->Texts()));
            });
            QCOMPARE(actual, expected);
            QCOMPARE(othersNow(), others);
        }
    }

    void PickLists_offerEachValueOnceInTheSpellingMetFirst()
    {
        const QByteArray file =
            "a\tRock\t1\tA\t\r\nb\trock\t1\ta\t\r\nc\t\t1\tB\t\r\nd\tJazz\t1\t\t\r\n";
        TFixture f(&file);
        QCOMPARE(Entries(*f.Main->ComboBox1), (QStringList{"", "- Wszystkie -", "Jazz", "Rock"}));
        QCOMPARE(Entries(*f.Main->ComboBox2), (QStringList{"", "- Wszystkie -", "A", "B"}));
        // An empty entry is selected at start-up, and it is no filter at all.
        QCOMPARE(f.Main->ComboBox1->currentIndex(), 0);
        QCOMPARE(f.Main->dfsList1->Items().Count(), 4);
        // Choosing "Rock" shows only records spelled exactly so.
        Choose(*f.Main->ComboBox1, "Rock");
        QCOMPARE(Column(*f.Main->dfsList1, 0), (QStringList{"a"}));
    }

    // Many rows, so that spellings of one value meet within and across the batches in which
    // rows are read: still the spelling met first in the master list's order is offered.
    void PickLists_ofManyRows_offerTheSpellingMetFirst()
    {
        QByteArray file;
        std::map<QString, QString> first[2];
        const char* spellings[] = {"rock", "Rock", "ROCK", "jazz", "Jazz", "pop", "Pop", "POP"};
        for (int i = 0; i < 300; ++i) {
            const char* kind = spellings[(i * 7 + i / 13) % 8];
            const QByteArray shelf = (i % 3 ? "a" : "A") + QByteArray::number(i * 5 % 37);
            file += "n" + QByteArray::number(1000 + i) + "\t" + kind + "\t1\t" + shelf + "\t\r\n";
            first[0].emplace(QString(kind).toLower(), QString(kind));
            first[1].emplace(QString(shelf).toLower(), QString(shelf));
        }
        TFixture f(&file);
        TSortedComboBox* boxes[2] = {f.Main->ComboBox1, f.Main->ComboBox2};
        for (int b = 0; b < 2; ++b) {
            QStringList expected{"- Wszystkie -"};
            for (const auto& [folded, spelling] : first[b])
                expected += spelling;
            QStringList offered = Entries(*boxes[b]);
            std::sort(offered.begin() + 1, offered.end());
            std::sort(expected.begin() + 1, expected.end());
            QCOMPARE(offered, expected);
        }
    }

    void DiscCounts_sumWithoutOverflow()
    {
        const QByteArray file = "a\t\t2147483647\t\t\r\nb\t\t2147483647\t\t\r\nc\t\t-5\t\t\r\n";
        TFixture f(&file);
        QCOMPARE(f.Main->StatusText(spDiscs), QStringLiteral("Płyt: 4294967289"));
    }

    void Close_rightAfterStartUp_closesAtOnce()
    {
        TFixture f(&kSmall);
        QTest::mouseClick(f.Main->Button1, Qt::LeftButton);
        QVERIFY(!f.Main->isVisible());
        QCOMPARE(ReadAll(f.Path), kSmall);
    }

    void StartAndClose_leaveTheSettingsStoreUntouched()
    {
        {
            TFixture f(&kSmall);
            QTest::mouseClick(f.Main->Button1, Qt::LeftButton);
        } // the window and its lists are destroyed
        QCOMPARE(QDir(m_Settings.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void Close_afterAChange_asksThroughThePopup_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("written");
        for (const char* change : {"delete", "add", "edit"}) {
            QTest::addRow("%s, dismissed", change) << change << QString() << false << false;
            QTest::addRow("%s, do not save", change)
                << change << QStringLiteral("Nie zapisuj") << true << false;
            QTest::addRow("%s, save", change)
                << change << QStringLiteral("Zapisz zmiany") << true << true;
        }
    }
    void Close_afterAChange_asksThroughThePopup()
    {
        QFETCH(QString, change);
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(bool, written);
        TFixture f(&kSmall);
        QByteArray expected = kSmall;
        if (change == "delete") {
            f.Main->dfsList1->SetSelected(
                f.Main->dfsList1->Items().Item(RowOf(*f.Main->dfsList1, "Bach")));
            QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
            QCOMPARE(f.Main->StatusText(spItems),
                     QStringLiteral("Pozycji: 5")); // until the next tick
            expected.replace("Bach\tklasyka\t3\tA1\t\r\n", "");
        } else if (change == "add") {
            WhenShown(f.Dodaj, [&] {
                f.Dodaj->Edit1->setText("Nowy");
                QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
                f.Dodaj->close();
            });
            QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
            expected += "Nowy\t\t\t\t\r\n";
        } else {
            WhenShown(f.Edytuj, [&] {
                f.Edytuj->Edit3->setText("Z9");
                QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
            });
            DoubleClickRow(*f.Main, RowOf(*f.Main->dfsList1, "Abba"));
            // The confirmed edit re-sorts the master list by name.
            expected = "Abba\tPop\t1\tZ9\tAnia\r\nAtlas\tProgram\t12\tB\tbrat\r\n"
                       "Bach\tklasyka\t3\tA1\t\r\nChopin\tKlasyka\t2\tB\t\r\n"
                       "Kol\xea"
                       "dy\tMuzyka\t2\tA1\t\r\n";
        }
        QVERIFY(!f.Main->Zapisane);
        QCursor::setPos(f.Main->geometry().center());
        QPoint openedAt(-1, -1);
        AnswerPopup(answer, &openedAt);
        f.Main->close();
        QTRY_VERIFY(openedAt != QPoint(-1, -1));
        QVERIFY((openedAt - QCursor::pos()).manhattanLength() < 40);
        QCOMPARE(!f.Main->isVisible(), closed);
        QCOMPARE(ReadAll(f.Path), written ? expected : kSmall);
        if (!closed)
            QVERIFY(!f.Main->Zapisane);
    }

    void SaveButton_writesButTheCloseStillAsks()
    {
        TFixture f(&kSmall);
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(ReadAll(f.Path).count('\n'), 4);
        QVERIFY(!f.Main->Zapisane);
        QCOMPARE(f.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
        AnswerPopup("Nie zapisuj");
        QTest::mouseClick(f.Main->Button1, Qt::LeftButton);
        QTRY_VERIFY(!f.Main->isVisible());
        QCOMPARE(ReadAll(f.Path).count('\n'), 4);
    }

    void Delete_withNoSelection_changesNothing()
    {
        TFixture f(&kSmall);
        f.Main->dfsList1->SetSelected(nullptr);
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        QVERIFY(f.Main->Zapisane);
        QCOMPARE(f.Main->AllList->Items().Count(), 5);
    }

    void FailingSave_tellsTheUserAndKeepsEverything_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("directory in place of the file") << false;
        QTest::newRow("disk full") << true;
    }
    void FailingSave_tellsTheUserAndKeepsEverything()
    {
        QFETCH(bool, diskFull);
        QByteArray big;
        for (int i = 0; i < 3000; ++i)
            big += "Record number " + QByteArray::number(i) + "\tRock\t1\tA1\t\r\n";
        TFixture f(&big);
        if (!diskFull) {
            QFile::remove(f.Path);
            QDir().mkpath(f.Path);
        }
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        AnswerPopup("Zapisz zmiany");
        {
            std::unique_ptr<TFileSizeLimit> limit;
            if (diskFull)
                limit = std::make_unique<TFileSizeLimit>(32 * 1024);
            f.Main->close();
        }
        QVERIFY(f.Main->isVisible());
        QVERIFY(!f.Main->Zapisane);
        QCOMPARE(f.Main->AllList->Items().Count(), 2999);
        QCOMPARE(f.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
        QCOMPARE(f.Messages.size(), 1);
        QVERIFY(f.Messages.first().startsWith(QStringLiteral("Nie można zapisać pliku ")));
        // The path once, and the reason in Polish.
        QCOMPARE(f.Messages.first().count(f.Path), 1);
        QVERIFY2(f.Messages.first().contains(diskFull
                                                 ? QString::fromUtf8("większy")
                                                 : QStringLiteral("w miejscu pliku jest folder")),
                 qPrintable(f.Messages.first()));
        if (diskFull)
            QCOMPARE(ReadAll(f.Path), big);
        else
            QVERIFY(QFileInfo(f.Path).isDir());
    }

    void AddDialog_threeRecordsThenCancel_resortsAndShowsThem()
    {
        TFixture f(&kSmall);
        WhenShown(f.Dodaj, [&] {
            const char* names[] = {"Zappa", "Aaa", "Mozart"};
            for (const char* n : names) {
                f.Dodaj->Edit1->setText(n);
                f.Dodaj->ComboBox1->setEditText("Rock");
                f.Dodaj->Edit2->setText("1");
                f.Dodaj->Edit3->setText("D");
                QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
                QVERIFY(f.Dodaj->Edit1->text().isEmpty());
                QCOMPARE(f.Dodaj->ComboBox1->currentText(), QStringLiteral("Rock"));
            }
            QCOMPARE(f.Main->dfsList1->Items().Count(), 5); // the view waits for "Anuluj"
            QTest::mouseClick(f.Dodaj->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QCOMPARE(Column(*f.Main->AllList, 0),
                 (QStringList{"Aaa", "Abba", "Atlas", "Bach", "Chopin", QString::fromUtf8("Kolędy"),
                              "Mozart", "Zappa"}));
        QCOMPARE(Column(*f.Main->dfsList1, 0), Column(*f.Main->AllList, 0));
        QVERIFY(!f.Main->Zapisane);
        QCOMPARE(f.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
        QVERIFY(Entries(*f.Main->ComboBox1).contains("Rock"));
        QCOMPARE(Column(*f.Main->AllList, 4).at(7), QString()); // a new record is never lent
    }

    void AddDialog_closedWithTheCloseBox_savesButDoesNotShowTheRecord()
    {
        TFixture f(&kSmall);
        WhenShown(f.Dodaj, [&] {
            f.Dodaj->Edit1->setText("Nowa");
            QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
            f.Dodaj->close();
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QCOMPARE(f.Main->dfsList1->Items().Count(), 5);
        QCOMPARE(Column(*f.Main->AllList, 0).last(), QStringLiteral("Nowa")); // not re-sorted
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QVERIFY(ReadAll(f.Path).endsWith("Nowa\t\t\t\t\r\n"));
    }

    void AddDialog_kindTypedForTheFirstRecord_isOfferedFromTheNextOpening()
    {
        TFixture f(&kSmall);
        QStringList during;
        WhenShown(f.Dodaj, [&] {
            f.Dodaj->Edit1->setText("x");
            f.Dodaj->ComboBox1->setEditText("Blues");
            QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
            during = Entries(*f.Dodaj->ComboBox1);
            QTest::mouseClick(f.Dodaj->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QVERIFY(!during.contains("Blues"));
        QVERIFY(!during.contains("- Wszystkie -"));
        QStringList next;
        QString typed;
        WhenShown(f.Dodaj, [&] {
            next = Entries(*f.Dodaj->ComboBox1);
            typed = f.Dodaj->ComboBox1->currentText();
            f.Dodaj->close();
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QVERIFY(next.contains("Blues"));
        QCOMPARE(typed,
                 QString()); // "- Wszystkie -" chosen in the main window: nothing preselected
    }

    void AddDialog_preselectsTheKindChosenInTheFilter()
    {
        TFixture f(&kSmall);
        Choose(*f.Main->ComboBox1, "Program");
        QString preselected;
        WhenShown(f.Dodaj, [&] {
            preselected = f.Dodaj->ComboBox1->currentText();
            f.Dodaj->close();
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QCOMPARE(preselected, QStringLiteral("Program"));
    }

    void EditDialog_lendsAndReturns_data()
    {
        QTest::addColumn<QString>("lentTo");
        QTest::newRow("lend") << "Jan";
        QTest::newRow("return") << "";
    }
    void EditDialog_lendsAndReturns()
    {
        QFETCH(QString, lentTo);
        TFixture f(&kSmall);
        WhenShown(f.Edytuj, [&] {
            QCOMPARE(f.Edytuj->Edit1->text(), QStringLiteral("Atlas"));
            QCOMPARE(f.Edytuj->Edit4->text(), QStringLiteral("brat"));
            f.Edytuj->Edit4->setText(lentTo);
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, RowOf(*f.Main->dfsList1, "Atlas"));
        const int row = RowOf(*f.Main->AllList, "Atlas");
        QCOMPARE(Column(*f.Main->AllList, 4).at(row), lentTo);
        QVERIFY(!f.Main->Zapisane);
        QCOMPARE(f.Main->StatusText(spActivity), QStringLiteral("Gotowy"));
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QVERIFY(ReadAll(f.Path).contains("Atlas\tProgram\t12\tB\t" + lentTo.toLatin1() + "\r\n"));
    }

    void EditDialog_kindSpelledInAnotherCase_storesTheOfferedSpelling()
    {
        TFixture f(&kSmall); // "klasyka" (Bach) is met before "Klasyka" (Chopin)
        QString shown;
        WhenShown(f.Edytuj, [&] {
            shown = f.Edytuj->ComboBox1->currentText();
            QVERIFY(!Entries(*f.Edytuj->ComboBox1).contains("- Wszystkie -"));
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, RowOf(*f.Main->dfsList1, "Chopin"));
        QCOMPARE(shown, QStringLiteral("klasyka"));
        QCOMPARE(Column(*f.Main->AllList, 1).at(RowOf(*f.Main->AllList, "Chopin")),
                 QStringLiteral("klasyka"));
        QVERIFY(!f.Main->Zapisane); // no field changed, yet the catalogue counts as changed
    }

    void EditDialog_cancelChangesNothing()
    {
        TFixture f(&kSmall);
        WhenShown(f.Edytuj, [&] {
            f.Edytuj->Edit1->setText("Zmieniona");
            QTest::mouseClick(f.Edytuj->Button2, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, 0);
        QVERIFY(f.Main->Zapisane);
        QVERIFY(!Column(*f.Main->AllList, 0).contains("Zmieniona"));
    }

    void SameName_editAndDeleteActOnTheRowTheUserChose()
    {
        const QByteArray file = "Best of\tRock\t1\tA\t\r\nBest of\tJazz\t2\tB\t\r\n";
        TFixture f(&file);
        const int jazz = int(Column(*f.Main->dfsList1, 1).indexOf("Jazz"));
        WhenShown(f.Edytuj, [&] {
            QCOMPARE(f.Edytuj->Edit2->text(), QStringLiteral("2"));
            f.Edytuj->Edit4->setText("Ola");
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, jazz);
        QCOMPARE(Column(*f.Main->AllList, 4), (QStringList{"", "Ola"}));
        // Deleting the second deletes the second.
        const int second = int(Column(*f.Main->dfsList1, 1).indexOf("Jazz"));
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(second));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        QCOMPARE(Column(*f.Main->AllList, 1), (QStringList{"Rock"}));
        QCOMPARE(Column(*f.Main->dfsList1, 1), (QStringList{"Rock"}));
    }

    void Fields_refuseTextTheFileCannotHold()
    {
        TFixture f(&kSmall);
        WhenShown(f.Dodaj, [&] {
            f.Dodaj->Edit1->setFocus();
            QTest::keyClicks(f.Dodaj->Edit1, "Abc");
            f.Dodaj->Edit1->insert(QString::fromUtf8("Жx")); // pasted
            f.Dodaj->Edit1->insert(QStringLiteral("a\tb"));
            QCOMPARE(f.Dodaj->Edit1->text(), QStringLiteral("Abc"));
            f.Dodaj->close();
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
    }

    void Print_sendsExactlyTheShownRows()
    {
        auto* canvas = new TRecordingCanvas();
        auto previous = SetPrinter(std::unique_ptr<TPrinterCanvas>(canvas));
        TFixture f(&kSmall);
        QTest::mouseClick(f.Main->Porz, Qt::LeftButton, {}, QPoint(5, 8)); // not lent only
        f.Main->dfsList1->SortByColumn(0, false);
        QTest::mouseClick(f.Main->Drukuj, Qt::LeftButton);
        QStringList rows;
        int y = -1;
        for (const auto& call : canvas->Calls) {
            if (call.Kind != TRecordingCanvas::TCall::TextOut)
                continue;
            if (call.Y != y)
                rows << QString();
            y = call.Y;
            rows.last() += Cp1250::ToUnicode(call.Text);
        }
        QCOMPARE(rows.first(), QStringLiteral("Lista CD"));
        QCOMPARE(
            rows.mid(5, 3),
            (QStringList{QString::fromUtf8(" | Kolędy | Muzyka  |        2 | A1    |           | "),
                         " | Chopin | Klasyka |        2 | B     |           | ",
                         " | Bach   | klasyka |        3 | A1    |           | "}));
        QCOMPARE(rows.size(), 9);
        // A printing error reaches the error report, and the program goes on.
        canvas->FailNextBeginDoc = "There is no default printer currently selected";
        QTest::mouseClick(f.Main->Drukuj, Qt::LeftButton);
        QCOMPARE(f.Messages, (QStringList{"There is no default printer currently selected"}));
        QVERIFY(f.Main->isVisible());
        SetPrinter(std::move(previous));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_MainForm.moc"
