#pragma once

// The running catalogue for tests: its window and dialogs over a data file in a temporary
// directory, and the user's gestures on them.
#include "Dodaj.h"
#include "Edytuj.h"
#include "ExtListView.h"
#include "Main.h"
#include "SortedComboBox.h"
#include "support/ListTexts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace TestSupport {

// Five records, not in name order, two of them lent.
inline const QByteArray kSmall = "Kol\xea"
                                 "dy\tMuzyka\t2\tA1\t\r\n"
                                 "Atlas\tProgram\t12\tB\tbrat\r\n"
                                 "Bach\tklasyka\t3\tA1\t\r\n"
                                 "Abba\tPop\t1\tC\tAnia\r\n"
                                 "Chopin\tKlasyka\t2\tB\t\r\n";

// One running catalogue with its data file in a temporary directory.
struct TFixture
{
    QTemporaryDir Dir;
    QString Path;
    std::unique_ptr<TMainForm> Main;
    TDodajForm* Dodaj = nullptr;
    TEdytujForm* Edytuj = nullptr;
    QStringList Messages;
    // The program's yes/no questions, and the answer they get.
    QStringList Asked;
    bool AnswerYes = true;

    explicit TFixture(const QByteArray* Content)
    {
        Path = Dir.filePath("Dyskar.dat");
        if (Content)
            WriteAll(Path, *Content);
        TMainForm::ShowMessage = [this](QWidget*, const QString& Text) { Messages << Text; };
        TMainForm::AskUser = [this](QWidget*, const QString& Text) {
            Asked << Text;
            return AnswerYes;
        };
        Main = std::make_unique<TMainForm>(Path);
        Dodaj = new TDodajForm(*Main, Main.get());
        Edytuj = new TEdytujForm(*Main, Main.get());
        Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(Main.get()));
    }
};

inline QStringList Entries(const QComboBox& Box)
{
    QStringList all;
    for (int i = 0; i < Box.count(); ++i)
        all << Box.itemText(i);
    return all;
}

// The user chooses an entry of a pick list.
inline void Choose(TSortedComboBox& Box, const QString& Text)
{
    const int index = Box.findText(Text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(Text));
    Box.setCurrentIndex(index);
    emit Box.activated(index);
}

// Answers the next popup menu: with the item of that caption, or dismisses it.
inline void AnswerPopup(const QString& Item, QPoint* OpenedAt = nullptr)
{
    QTimer::singleShot(50, [=] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        if (OpenedAt)
            *OpenedAt = menu->pos();
        if (Item.isEmpty()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (QAction* a : menu->actions())
            if (a->text() == Item)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    });
}

// Runs Body once the dialog is open (it is modal).
inline void WhenShown(QDialog* Dialog, std::function<void()> Body)
{
    QTimer::singleShot(0, Dialog, [=] {
        QTRY_VERIFY(Dialog->isVisible());
        Body();
    });
}

inline void DoubleClickRow(TMainForm& Main, int Row)
{
    auto* view = Main.dfsList1->Control().View();
    const QRect r = view->visualRect(view->model()->index(Row, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

inline int RowOf(const TCustomListView& List, const char* Name)
{
    return int(Column(List, 0).indexOf(QString::fromUtf8(Name)));
}

} // namespace TestSupport
