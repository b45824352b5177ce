// The catalogue at the keyboard and under a slip of the hand: keys, undo, fields that keep
// their bytes, the dialogs' captions and places, the pick lists' height, the status bar's
// counts and what a screen reader meets.
#include "Application.h"
#include "Cp1250.h"
#include "Printing.h"
#include "RecordField.h"
#include "support/MainFormFixture.h"
#include "support/RecordingCanvas.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <QTranslator>

using namespace TestSupport;

namespace {

// Presses a key on a widget of the main window, as the user does with the window active.
void Press(QWidget* Where, QKeySequence Keys)
{
    // The offscreen platform leaves a closed dialog active; a window manager would not.
    QApplication::setActiveWindow(Where->window());
    Where->setFocus();
    QTest::keySequence(Where, Keys);
}

QWidget* ListView(TMainForm& Main)
{
    return Main.dfsList1->Control().View();
}

// Every accessible object below Root, depth first.
void Collect(QAccessibleInterface* Root, QList<QAccessibleInterface*>& All)
{
    All << Root;
    for (int i = 0; i < Root->childCount(); ++i)
        if (QAccessibleInterface* child = Root->child(i))
            Collect(child, All);
}

} // namespace

class TestMainFormUse : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }

    void Keys_onTheListOpenAndDelete_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void Keys_onTheListOpenAndDelete()
    {
        QFETCH(int, key);
        TFixture f(&kSmall);
        const int atlas = RowOf(*f.Main->dfsList1, "Atlas");
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(atlas));
        QString opened;
        WhenShown(f.Edytuj, [&] {
            opened = f.Edytuj->Edit1->text();
            QTest::mouseClick(f.Edytuj->Button2, Qt::LeftButton);
        });
        Press(ListView(*f.Main), QKeySequence(key));
        QCOMPARE(opened, QStringLiteral("Atlas"));
        QVERIFY(f.Main->Zapisane);

        Press(ListView(*f.Main), QKeySequence(Qt::Key_Delete));
        QCOMPARE(RowOf(*f.Main->AllList, "Atlas"), -1);
        QCOMPARE(RowOf(*f.Main->dfsList1, "Atlas"), -1);
        QVERIFY(!f.Main->Zapisane);
    }

    void Keys_pressTheWindowsButtons_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("does");
        QTest::newRow("Ctrl+N") << QKeySequence(Qt::CTRL | Qt::Key_N) << "add";
        QTest::newRow("Insert") << QKeySequence(Qt::Key_Insert) << "add";
        QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << "save";
        QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << "print";
        QTest::newRow("Ctrl+Q") << QKeySequence(Qt::CTRL | Qt::Key_Q) << "close";
    }
    void Keys_pressTheWindowsButtons()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, does);
        auto* canvas = new TRecordingCanvas();
        auto previous = SetPrinter(std::unique_ptr<TPrinterCanvas>(canvas));
        TFixture f(&kSmall);
        // A change first, so that saving writes something and closing asks.
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        bool added = false;
        if (does == "add")
            WhenShown(f.Dodaj, [&] {
                added = true;
                QTest::mouseClick(f.Dodaj->Button2, Qt::LeftButton);
            });
        if (does == "close")
            AnswerPopup("Nie zapisuj");
        Press(f.Main->ComboBox1, keys);
        if (does == "add")
            QVERIFY(added);
        if (does == "save") {
            QCOMPARE(ReadAll(f.Path).count('\n'), 4);
            QVERIFY(!f.Main->Zapisane); // as the button: the close still asks
        } else {
            QCOMPARE(ReadAll(f.Path), kSmall);
        }
        if (does == "print")
            QVERIFY(!canvas->Calls.empty());
        if (does == "close")
            QTRY_VERIFY(!f.Main->isVisible());
        else
            QVERIFY(f.Main->isVisible());
        SetPrinter(std::move(previous));
    }

    void Escape_inTheAddDialog_endsItAsAnulujDoes()
    {
        TFixture f(&kSmall);
        WhenShown(f.Dodaj, [&] {
            f.Dodaj->Edit1->setText("Aaa");
            QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
            QTest::keyClick(f.Dodaj->Edit1, Qt::Key_Escape);
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QVERIFY(!f.Dodaj->isVisible());
        // Shown and in name order at once, as after "Anuluj".
        QCOMPARE(Column(*f.Main->dfsList1, 0).first(), QStringLiteral("Aaa"));
        QCOMPARE(Column(*f.Main->AllList, 0).first(), QStringLiteral("Aaa"));
    }

    void Undo_takesBackDeletionsAndEditsOneAtATime()
    {
        TFixture f(&kSmall);
        // Nothing to take back: nothing changes.
        Press(f.Main->ComboBox1, QKeySequence::Undo);
        QVERIFY(f.Main->Zapisane);
        const QStringList start = Column(*f.Main->AllList, 0);

        WhenShown(f.Edytuj, [&] {
            f.Edytuj->Edit1->setText("Zorba");
            f.Edytuj->Edit4->setText("Ola");
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, RowOf(*f.Main->dfsList1, "Bach"));
        f.Main->dfsList1->SetSelected(
            f.Main->dfsList1->Items().Item(RowOf(*f.Main->dfsList1, "Atlas")));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        QCOMPARE(Column(*f.Main->AllList, 0),
                 (QStringList{"Abba", "Chopin", QString::fromUtf8("Kolędy"), "Zorba"}));

        // The deletion comes back first, where Atlas stood after the edit's re-sort.
        Press(f.Main->ComboBox1, QKeySequence::Undo);
        QCOMPARE(Column(*f.Main->AllList, 0),
                 (QStringList{"Abba", "Atlas", "Chopin", QString::fromUtf8("Kolędy"), "Zorba"}));
        QVERIFY(Column(*f.Main->dfsList1, 0).contains("Atlas"));
        QVERIFY(!f.Main->Zapisane);

        // Then the edit: Bach with its old fields, at its place before the edit.
        Press(f.Main->ComboBox1, QKeySequence::Undo);
        const int bach = RowOf(*f.Main->AllList, "Bach");
        QCOMPARE(bach, int(start.indexOf("Bach")));
        QCOMPARE(Column(*f.Main->AllList, 4).at(bach), QString());
        QCOMPARE(Column(*f.Main->AllList, 1).at(bach), QStringLiteral("klasyka"));
        QVERIFY(!Column(*f.Main->dfsList1, 0).contains("Zorba"));
        QVERIFY(!f.Main->Zapisane);

        // Every record as it was; the edit's re-sort of the others stands. More Ctrl+Z does
        // nothing.
        Press(f.Main->ComboBox1, QKeySequence::Undo);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(ReadAll(f.Path), QByteArray("Abba\tPop\t1\tC\tAnia\r\n"
                                             "Atlas\tProgram\t12\tB\tbrat\r\n"
                                             "Bach\tklasyka\t3\tA1\t\r\n"
                                             "Chopin\tKlasyka\t2\tB\t\r\n"
                                             "Kol\xea"
                                             "dy\tMuzyka\t2\tA1\t\r\n"));
    }

    void Undo_afterRecordsWereAddedSince_putsTheRecordInNameOrder()
    {
        TFixture f(&kSmall);
        // The add dialog, opened and closed, puts the list in name order: Chopin is fourth.
        WhenShown(f.Dodaj, [&] { QTest::mouseClick(f.Dodaj->Button2, Qt::LeftButton); });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        WhenShown(f.Edytuj, [&] {
            f.Edytuj->Edit4->setText("Ola");
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, RowOf(*f.Main->dfsList1, "Chopin"));
        // A record added before Chopin moves it one place on.
        WhenShown(f.Dodaj, [&] {
            f.Dodaj->Edit1->setText("Aaa");
            QTest::mouseClick(f.Dodaj->Button1, Qt::LeftButton);
            QTest::mouseClick(f.Dodaj->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        Press(f.Main->ComboBox1, QKeySequence::Undo); // the edit of Chopin
        QCOMPARE(Column(*f.Main->AllList, 0), (QStringList{"Aaa", "Abba", "Atlas", "Bach", "Chopin",
                                                           QString::fromUtf8("Kolędy")}));
        QCOMPARE(Column(*f.Main->AllList, 4).at(4), QString());
    }

    void Undo_ofADeletion_restoresTheRecordBetweenItsNeighbours()
    {
        TFixture f(&kSmall);
        f.Main->dfsList1->SetSelected(
            f.Main->dfsList1->Items().Item(RowOf(*f.Main->dfsList1, "Bach")));
        QTest::mouseClick(f.Main->Usun, Qt::LeftButton);
        Press(f.Main->ComboBox1, QKeySequence::Undo);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(ReadAll(f.Path), kSmall); // the master order of the file, not name order
        QCOMPARE(f.Main->dfsList1->Items().Count(), 5);
    }

    void EditDialog_leftUnchanged_writesTheRecordBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("record");
        // Lone LF bytes stay inside a field; NUL bytes are ordinary bytes of the file.
        QTest::newRow("LF in the name and lent-to")
            << QByteArray("Ab\ncd\tRock\t1\tA1\tJan\nKowalski\r\n");
        QTest::newRow("NUL in the shelf") << QByteArray("Abc\tRock\t1\tA") + '\0' + "1\t\r\n";
        QTest::newRow("40 000 characters of name")
            << QByteArray(40000, 'n') + "\tRock\t1\tA1\tOla\r\n";
    }
    void EditDialog_leftUnchanged_writesTheRecordBackByteForByte()
    {
        QFETCH(QByteArray, record);
        TFixture f(&record);
        WhenShown(f.Edytuj, [&] { QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton); });
        DoubleClickRow(*f.Main, 0);
        QVERIFY(!f.Main->Zapisane);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(ReadAll(f.Path), record);
    }

    void FilterValueGoneByAnEdit_listShowsWhatThePickListSays_data()
    {
        QTest::addColumn<bool>("shelf");
        QTest::newRow("shelf") << true;
        QTest::newRow("kind") << false;
    }
    void FilterValueGoneByAnEdit_listShowsWhatThePickListSays()
    {
        // Abba is the only record on shelf C and the only one of kind Pop.
        QFETCH(bool, shelf);
        TFixture f(&kSmall);
        TSortedComboBox& box = shelf ? *f.Main->ComboBox2 : *f.Main->ComboBox1;
        Choose(box, shelf ? "C" : "Pop");
        QCOMPARE(f.Main->dfsList1->Items().Count(), 1);
        WhenShown(f.Edytuj, [&] {
            if (shelf)
                f.Edytuj->Edit3->SetBytes("B");
            else
                f.Edytuj->ComboBox1->SetItemIndex(f.Edytuj->ComboBox1->FindIgnoreCase("Muzyka"));
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, 0);
        QCOMPARE(box.currentText(), QStringLiteral("- Wszystkie -"));
        QCOMPARE(f.Main->dfsList1->Items().Count(), 5);
    }

    void EditDialog_refusedPaste_neverEmptiesTheField_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("Cyrillic") << QString::fromUtf8("Ж");
        QTest::newRow("TAB") << QStringLiteral("X\tY");
    }
    void EditDialog_refusedPaste_neverEmptiesTheField()
    {
        QFETCH(QString, pasted);
        const QByteArray file = "Abc\tRock\t1\tA1\tJan\nKowalski\r\n";
        TFixture f(&file);
        WhenShown(f.Edytuj, [&] {
            f.Edytuj->Edit4->setFocus();
            f.Edytuj->Edit4->end(false);
            f.Edytuj->Edit4->insert(pasted); // the path of a paste
            QTest::keyClicks(f.Edytuj->Edit4, "!");
            QTest::mouseClick(f.Edytuj->Button1, Qt::LeftButton);
        });
        DoubleClickRow(*f.Main, 0);
        QTest::mouseClick(f.Main->Zapisz, Qt::LeftButton);
        QCOMPARE(ReadAll(f.Path), QByteArray("Abc\tRock\t1\tA1\tJan\nKowalski!\r\n"));
    }

    void Dialogs_haveTheirOwnCaptionsAndOpenCentredOnTheScreen_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::newRow("Dodaj CD") << false;
        QTest::newRow("Edytuj") << true;
    }
    void Dialogs_haveTheirOwnCaptionsAndOpenCentredOnTheScreen()
    {
        QFETCH(bool, edit);
        TFixture f(&kSmall);
        const QRect screen = f.Main->screen()->availableGeometry();
        f.Main->move(screen.topLeft() + QPoint(10, 10)); // far from the middle
        QDialog* dialog = edit ? static_cast<QDialog*>(f.Edytuj) : f.Dodaj;
        QPoint centre;
        WhenShown(dialog, [&] {
            centre = dialog->geometry().center();
            dialog->close();
        });
        if (edit)
            DoubleClickRow(*f.Main, 0);
        else
            QTest::mouseClick(f.Main->Dodaj, Qt::LeftButton);
        QCOMPARE(dialog->windowTitle(), QString::fromUtf8(edit ? "Edytuj" : "Dodaj CD"));
        // The frame that a window manager adds may shift it by a few pixels.
        QVERIFY2((centre - screen.center()).manhattanLength() < 10,
                 qPrintable(QStringLiteral("centre %1,%2").arg(centre.x()).arg(centre.y())));
    }

    void PickLists_dropDownSixteenRowsAtMost()
    {
        QByteArray file;
        for (int i = 0; i < 200; ++i)
            file +=
                "CD " + QByteArray::number(i) + "\tRock\t1\tP" + QByteArray::number(i) + "\t\r\n";
        TFixture f(&file);
        TSortedComboBox* shelves = f.Main->ComboBox2;
        shelves->showPopup();
        QAbstractItemView* view = shelves->view();
        QTRY_VERIFY(view->isVisible());
        const int row = view->sizeHintForRow(0);
        const int shown = view->viewport()->height() / row;
        shelves->hidePopup();
        QCOMPARE(shown, 16);
    }

    void StatusBar_showsItsCountsWhole_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("text");
        QTest::newRow("ten million rows") << int(spItems) << "Pozycji: 10000000";
        QTest::newRow("largest disc sum") << int(spDiscs) << "Płyt: -9223372036854775808";
        QTest::newRow("short count") << int(spItems) << "Pozycji: 5";
    }
    void StatusBar_showsItsCountsWhole()
    {
        QFETCH(int, panel);
        QFETCH(QString, text);
        TFixture f(&kSmall);
        f.Main->SetStatus(TStatusPanel(panel), text);
        QLabel* label = f.Main->StatusBar1->Panel(TStatusPanel(panel));
        QCoreApplication::processEvents();
        const QMargins m = label->contentsMargins();
        const int room = label->contentsRect().width() - m.left() - m.right() + 2;
        QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= room,
                 qPrintable(QStringLiteral("%1 in %2").arg(text).arg(label->width())));
        QVERIFY(label->width() >= 75); // a panel never shrinks below its width
        if (text.size() < 12)
            QCOMPARE(label->width(), 75);
    }

    void ScreenReader_meetsNamedFieldsAndOneList()
    {
        TFixture f(&kSmall);
        QList<QAccessibleInterface*> all;
        Collect(QAccessible::queryAccessibleInterface(f.Main.get()), all);
        // The master list is not met at all, the visible one is.
        auto within = [&](QWidget* List) {
            return std::count_if(all.begin(), all.end(), [&](QAccessibleInterface* a) {
                auto* w = qobject_cast<QWidget*>(a->object());
                return w && (w == List || List->isAncestorOf(w));
            });
        };
        QCOMPARE(within(f.Main->AllList), 0);
        QVERIFY(within(f.Main->dfsList1) > 0);
        auto name = [](QWidget* w) {
            return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        };
        // A pick list's name is its entry; its label reaches the reader as a relation.
        auto label = [](QWidget* w) {
            const auto relations =
                QAccessible::queryAccessibleInterface(w)->relations(QAccessible::Label);
            return relations.isEmpty() ? QString()
                                       : relations.first().first->text(QAccessible::Name);
        };
        QCOMPARE(label(f.Main->ComboBox1), QStringLiteral("Kategoria"));
        QCOMPARE(label(f.Main->ComboBox2), QString::fromUtf8("Półka"));
        QCOMPARE(label(f.Dodaj->ComboBox1), QStringLiteral("Rodzaj:"));
        QCOMPARE(label(f.Edytuj->ComboBox1), QStringLiteral("Rodzaj:"));
        QCOMPARE(name(f.Dodaj->Edit1), QStringLiteral("Nazwa"));
        QCOMPARE(name(f.Edytuj->Edit2), QString::fromUtf8("Ilość CD"));
        QCOMPARE(name(f.Edytuj->Edit4), QString::fromUtf8("Pożyczone"));
        QCOMPARE(f.Edytuj->Label5->buddy(), f.Edytuj->Edit4);
    }

    void Tab_leavesTheListForTheNextControl()
    {
        TFixture f(&kSmall);
        QWidget* list = ListView(*f.Main);
        Press(list, QKeySequence(Qt::Key_Down));
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != list);
        QVERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->window(), f.Main.get());
    }

    void Typing_findsARecordByName_whicheverCellWasClicked()
    {
        TFixture f(&kSmall);
        QAbstractItemView* list = f.Main->dfsList1->Control().View();
        const QModelIndex shelf = list->model()->index(0, 3);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(shelf).center());
        QApplication::setActiveWindow(f.Main.get());
        list->setFocus();
        QTest::keyClicks(list, "Ch");
        QCOMPARE(f.Main->dfsList1->Selected()->Caption(), std::string_view("Chopin"));
    }

    void ScreenReader_cellActionSelectsTheRecord()
    {
        // The one action a cell offers chooses its record, which Enter or Delete then act on.
        TFixture f(&kSmall);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(ListView(*f.Main));
        QAccessibleTableInterface* table = list->tableInterface();
        QVERIFY(table);
        const int bach = RowOf(*f.Main->dfsList1, "Bach");
        QAccessibleInterface* cell = table->cellAt(bach, 3);
        QVERIFY(cell && cell->actionInterface());
        QCOMPARE(cell->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::toggleAction()});
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(f.Main->dfsList1->Selected(), f.Main->dfsList1->Items().Item(bach));
        Press(ListView(*f.Main), QKeySequence(Qt::Key_Delete));
        QCOMPARE(RowOf(*f.Main->AllList, "Bach"), -1);
    }

    void Translation_speaksPolish()
    {
        QVERIFY(InstallPolishTranslation(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Cofnij"));
    }
};

QTEST_MAIN(TestMainFormUse)
#include "tst_MainFormUse.moc"
