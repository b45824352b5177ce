// The main window's parts, built once by its constructor: the two lists with their settings,
// the bottom panel, the status bar, the close menu, the timer, the printer, and the handlers
// and keys bound to them.
#include "Main.h"

#include "Cp1250.h"
#include "ExtListView.h"
#include "FindBar.h"
#include "PickLists.h"
#include "QamLVPrinter.h"
#include "SortedComboBox.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

void TMainForm::BuildLists(QVBoxLayout& Layout)
{
    dfsList1 = new TdfsExtListView(centralWidget());
    // The master list is never shown: outside the window, screen readers do not meet it as
    // a second list.
    AllList = new TdfsExtListView(nullptr);
    AllList->setVisible(false);
    m_Undo = std::make_unique<TUndoSteps>(*AllList);
    m_View = std::make_unique<TCatalogueView>(*AllList, *dfsList1);
    Layout.addWidget(dfsList1, 1);
    // The find line, when shown, takes its height from the list; nothing else moves.
    FindBar = new TFindBar(centralWidget());
    Layout.addWidget(FindBar);
    SetUpList(*dfsList1, 100000000);
    SetUpList(*AllList, 1000);
}

void TMainForm::BuildPanel(QVBoxLayout& Layout)
{
    Panel1 = new QWidget(centralWidget());
    Panel1->setFixedHeight(96);
    Layout.addWidget(Panel1);
    BuildFilters();
    BuildButtons();
    // Tab order: the list, then the panel's controls by their tab numbers.
    QWidget* order[] = {dfsList1,  ComboBox1, Porz, Nieporz, Drukuj,
                        ComboBox2, Dodaj,     Usun, Zapisz,  Button1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TMainForm::BuildFilters()
{
    Porz = new QCheckBox(QStringLiteral("Pożyczone"), Panel1);
    Porz->setGeometry(8, 9, 81, 17);
    Porz->setChecked(true);
    Nieporz = new QCheckBox(QStringLiteral("Niepożyczone"), Panel1);
    Nieporz->setGeometry(88, 9, 89, 17);
    Nieporz->setChecked(true);
    Label1 = new QLabel(QStringLiteral("Kategoria"), Panel1);
    Label1->move(8, 34);
    ComboBox1 = new TSortedComboBox(TSortedComboBox::csDropDownList, Panel1);
    ComboBox1->setGeometry(64, 32, 145, 21);
    ComboBox1->setMaxVisibleItems(16);
    Label2 = new QLabel(QStringLiteral("Półka"), Panel1);
    Label2->move(8, 58);
    ComboBox2 = new TSortedComboBox(TSortedComboBox::csDropDownList, Panel1);
    ComboBox2->setGeometry(64, 56, 145, 21);
    ComboBox2->setMaxVisibleItems(16);
    m_PickLists =
        std::make_unique<TPickLists>(std::array{TPickLists::TList{ComboBox1, Catalogue::fdKind},
                                                TPickLists::TList{ComboBox2, Catalogue::fdShelf}},
                                     kWszystkie);
    // Each pick list is named by its label, for the keyboard and for screen readers.
    const std::pair<QLabel*, QWidget*> named[] = {{Label1, ComboBox1}, {Label2, ComboBox2}};
    for (const auto& [label, box] : named) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
}

void TMainForm::BuildButtons()
{
    Dodaj = new QPushButton(QStringLiteral("Dodaj CD"), Panel1);
    Dodaj->setGeometry(224, 16, 75, 25);
    Usun = new QPushButton(QStringLiteral("Usuń CD"), Panel1);
    Usun->setGeometry(224, 56, 75, 25);
    Zapisz = new TTagButton(QStringLiteral("Zapisz zmiany"), Panel1);
    Zapisz->setGeometry(320, 16, 89, 25);
    Zapisz->Tag = kSaveButtonTag;
    Drukuj = new QPushButton(QStringLiteral("Drukuj listę"), Panel1);
    Drukuj->setGeometry(320, 56, 89, 25);
    Button1 = new QPushButton(QStringLiteral("Zamknij program"), Panel1);
    Button1->setGeometry(432, 16, 130, 65);
}

void TMainForm::BuildStatusBar(QVBoxLayout& Layout)
{
    StatusBar1 = new TStatusBar(centralWidget());
    // Which catalogue the window shows, where it does not disturb the layout.
    StatusBar1->Panel(spActivity)->setToolTip(QDir::toNativeSeparators(m_DataFile));
    Layout.addWidget(StatusBar1);
}

void TMainForm::BuildPopupAndTimer()
{
    Popup = new QMenu(this);
    Zapiszzmiany1 = Popup->addAction(QStringLiteral("Zapisz zmiany"));
    Niezapisuj1 = Popup->addAction(QStringLiteral("Nie zapisuj"));
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
}

void TMainForm::BuildPrinter()
{
    QamLVPrinter1 = new TQamLVPrinter();
    QamLVPrinter1->SetDfs(dfsList1);
    QamLVPrinter1->SetHeader("Lista CD");
    QamLVPrinter1->SetHeaderStyle(fsBold);
    QamLVPrinter1->SetItemsPerPage(0);
}

void TMainForm::BindHandlers()
{
    auto bind = [this](auto* Sender, auto Handler) {
        return [this, Sender, Handler] { RunGuarded(this, [&] { (this->*Handler)(Sender); }); };
    };
    connect(Porz, &QCheckBox::clicked, this, bind(Porz, &TMainForm::Wyswietl));
    connect(Nieporz, &QCheckBox::clicked, this, bind(Nieporz, &TMainForm::Wyswietl));
    ComboBox1->OnChange = [this](QObject* s) { RunGuarded(this, [&] { Wyswietl(s); }); };
    ComboBox2->OnChange = [this](QObject* s) { RunGuarded(this, [&] { Wyswietl(s); }); };
    connect(Dodaj, &QPushButton::clicked, this, bind(Dodaj, &TMainForm::DodajClick));
    connect(Usun, &QPushButton::clicked, this, bind(Usun, &TMainForm::UsunClick));
    connect(Zapisz, &QPushButton::clicked, this, bind(Zapisz, &TMainForm::ZapiszClick));
    connect(Drukuj, &QPushButton::clicked, this, bind(Drukuj, &TMainForm::DrukujClick));
    connect(Button1, &QPushButton::clicked, this, bind(Button1, &TMainForm::Button1Click));
    connect(Zapiszzmiany1, &QAction::triggered, this, bind(Zapiszzmiany1, &TMainForm::ZapiszClick));
    connect(Niezapisuj1, &QAction::triggered, this,
            bind(Niezapisuj1, &TMainForm::Niezapisuj1Click));
    connect(Timer1, &QTimer::timeout, this, bind(Timer1, &TMainForm::Timer1Timer));
    dfsList1->OnDblClick = [this](QObject* s) { RunGuarded(this, [&] { dfsList1DblClick(s); }); };
    BindFindAndMenu();
}

void TMainForm::SetUpList(TdfsExtListView& List, int HoverTime)
{
    List.BeginLoading();
    struct TColumnLayout
    {
        const char* Caption;
        int Width;
        TAlignment Alignment;
    };
    const TColumnLayout columns[] = {{"Nazwa", 200, taLeftJustify},
                                     {"Rodzaj", 125, taLeftJustify},
                                     {"Ilość CD", 60, taRightJustify},
                                     {"Półka", 50, taLeftJustify},
                                     {"Pożyczone", 150, taLeftJustify}};
    for (const auto& wanted : columns) {
        TListColumn* column = List.Columns().Add();
        column->SetCaption(Cp1250::FromUtf8(wanted.Caption));
        column->SetWidth(wanted.Width);
        column->SetAlignment(wanted.Alignment);
    }
    List.SetExtendedStyles({lvxGridLines, lvxTrackSelect, lvxHeaderDragDrop, lvxFullRowSelect,
                            lvxOneClickActivate, lvxTwoClickActivate, lvxUnderlineHot});
    List.SetHoverTime(HoverTime);
    List.SetShowSortArrows(true);
    List.SetAutoColumnSort(acsSortToggle);
    List.SetAutoSortStyle(assDefault);
    List.SetAutoResort(false);
    List.Loaded();
}

void TMainForm::SetUpKeys()
{
    auto key = [this](const QKeySequence& Keys, QWidget* Where, auto Handler, QObject* Sender) {
        auto* shortcut = new QShortcut(Keys, Where);
        if (Where != this)
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, Handler, Sender] { RunGuarded(this, [&] { (this->*Handler)(Sender); }); });
    };
    // On the list, Enter opens the row as a double-click does, and Delete deletes it.
    key(Qt::Key_Return, dfsList1, &TMainForm::dfsList1DblClick, dfsList1);
    key(Qt::Key_Enter, dfsList1, &TMainForm::dfsList1DblClick, dfsList1);
    key(Qt::Key_Delete, dfsList1, &TMainForm::UsunClick, Usun);
    // The buttons' keys act as if the button were pressed, the save button's tag included.
    key(QKeySequence(Qt::CTRL | Qt::Key_N), this, &TMainForm::DodajClick, Dodaj);
    key(Qt::Key_Insert, this, &TMainForm::DodajClick, Dodaj);
    key(QKeySequence(Qt::CTRL | Qt::Key_S), this, &TMainForm::ZapiszClick, Zapisz);
    key(QKeySequence(Qt::CTRL | Qt::Key_P), this, &TMainForm::DrukujClick, Drukuj);
    key(QKeySequence(Qt::CTRL | Qt::Key_Q), this, &TMainForm::Button1Click, Button1);
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), this, &TMainForm::CofnijClick, this);
    key(QKeySequence(Qt::CTRL | Qt::Key_F), this, &TMainForm::SzukajClick, this);
    // Copying and the menu belong to the list: in the find line the keys edit its text.
    key(QKeySequence(Qt::CTRL | Qt::Key_C), dfsList1, &TMainForm::KopiujClick, dfsList1);
}
