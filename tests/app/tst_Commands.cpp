// The commands beyond the buttons: a record copied as five fields and as a table row, and the
// list's context menu, whose items do what their keys do and cannot act when there is nothing
// to act on.
#include "FindBar.h"
#include "support/MainFormFixture.h"

#include <QClipboard>
#include <QMimeData>

using namespace TestSupport;

namespace {

// The open context menu's items: their texts and whether they may act, as "Text|on".
QStringList Items(QMenu& Menu)
{
    QStringList items;
    for (QAction* action : Menu.actions())
        if (!action->isSeparator())
            items << action->text() + (action->isEnabled() ? "|on" : "|off");
    return items;
}

// Opens the menu at a row (or empty space) and runs Body on it once it is shown.
void WithMenu(TFixture& F, int Row, std::function<void(QMenu&)> Body)
{
    auto* view = F.Main->dfsList1->Control().View();
    const QPoint at = Row >= 0 ? view->visualRect(view->model()->index(Row, 0)).center()
                               : QPoint(5, view->viewport()->height() - 5);
    QTimer::singleShot(0, F.Main.get(), [&F, Body] {
        QTRY_VERIFY(F.Main->ListMenu());
        QMenu& menu = *F.Main->ListMenu();
        Body(menu);
        if (menu.isVisible())
            menu.close();
    });
    F.Main->ShowListMenu(at);
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void Copy_givesFiveFieldsAndATableRow()
    {
        TFixture f(&kSmall);
        const int row = RowOf(*f.Main->dfsList1, "Atlas");
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(row));
        f.Main->dfsList1->setFocus();
        QTest::keyClick(f.Main->dfsList1->Control().View(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        QCOMPARE(copied->text(), QStringLiteral("Atlas\tProgram\t12\tB\tbrat"));
        QCOMPARE(copied->html(), QStringLiteral("<table><tr><td>Atlas</td><td>Program</td>"
                                                "<td>12</td><td>B</td><td>brat</td></tr></table>"));
    }

    void Copy_ofATextWithMarkup_isEscapedInTheTable()
    {
        TFixture f(nullptr);
        f.Main->AllList->Items().Add(TRowText::FromFields({"<b>&", "", "", "", ""}));
        f.Main->Wyswietl(f.Main.get());
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        f.Main->KopiujClick(f.Main.get());
        QVERIFY(QApplication::clipboard()->mimeData()->html().contains("&lt;b&gt;&amp;"));
    }

    void Menu_offersTheCommandsThatCanAct_data()
    {
        QTest::addColumn<bool>("onARow");
        QTest::addColumn<bool>("undoable");
        QTest::newRow("on a row, nothing to undo") << true << false;
        QTest::newRow("on empty space, something to undo") << false << true;
    }
    void Menu_offersTheCommandsThatCanAct()
    {
        QFETCH(bool, onARow);
        QFETCH(bool, undoable);
        TFixture f(&kSmall);
        if (undoable) {
            f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
            f.Main->UsunClick(f.Main->Usun);
        }
        f.Main->dfsList1->SetSelected(nullptr);
        const QString on = onARow ? "|on" : "|off";
        QStringList items;
        WithMenu(f, onARow ? 1 : -1, [&](QMenu& Menu) { items = Items(Menu); });
        QCOMPARE(items.mid(0, 6),
                 (QStringList{QString::fromUtf8("Edytuj…") + on, QString::fromUtf8("Usuń") + on,
                              QString::fromUtf8("Dodaj…|on"),
                              QStringLiteral("Cofnij") + (undoable ? "|on" : "|off"),
                              QStringLiteral("Kopiuj") + on, QString::fromUtf8("Szukaj…|on")}));
        // A right click on a row selects it.
        QCOMPARE(f.Main->dfsList1->Selected() != nullptr, onARow);
    }

    void MenuItems_doWhatTheirKeysDo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Usuń deletes the row") << QString::fromUtf8("Usuń");
        QTest::newRow("Kopiuj copies it") << QStringLiteral("Kopiuj");
        QTest::newRow("Szukaj opens the find line") << QString::fromUtf8("Szukaj…");
        QTest::newRow("Cofnij takes back") << QStringLiteral("Cofnij");
    }
    void MenuItems_doWhatTheirKeysDo()
    {
        QFETCH(QString, item);
        TFixture f(&kSmall);
        QApplication::clipboard()->clear();
        const int rows = f.Main->AllList->Items().Count();
        f.Main->dfsList1->SetSelected(f.Main->dfsList1->Items().Item(0));
        f.Main->UsunClick(f.Main->Usun); // something to take back
        WithMenu(f, 0, [&](QMenu& Menu) {
            for (QAction* action : Menu.actions())
                if (action->text() == item)
                    action->trigger();
        });
        if (item == QString::fromUtf8("Usuń"))
            QCOMPARE(f.Main->AllList->Items().Count(), rows - 2);
        else if (item == QStringLiteral("Kopiuj"))
            QVERIFY(!QApplication::clipboard()->text().isEmpty());
        else if (item == QStringLiteral("Cofnij"))
            QCOMPARE(f.Main->AllList->Items().Count(), rows);
        else
            QVERIFY(f.Main->FindBar->isVisible());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_Commands.moc"
