#include "Main.h"

#include "Catalogue.h"
#include "Cp1250.h"
#include "Dodaj.h"
#include "Edytuj.h"
#include "ExtListView.h"
#include "Fonts.h"
#include "PickLists.h"
#include "QamLVPrinter.h"
#include "SortedComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

TMainForm* MainForm = nullptr;

namespace {

constexpr int kSaveButtonTag = 666;
// The status panels' widths; the last takes the rest of the bar.
constexpr int kPanelWidths[] = {50, 75, 75, -1};

// The clock in the user's time format, without a time zone.
QString TimeOfDay()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale().toString(QTime::currentTime(), format.trimmed());
}

// The value a pick list filters by; "- Wszystkie -" filters nothing.
std::string FilterOf(const TSortedComboBox& Box)
{
    const std::string text = Box.Text();
    return text == kWszystkie ? std::string() : text;
}

} // namespace

std::function<void(QWidget*, const QString&)> TMainForm::ShowMessage = [](QWidget* Parent,
                                                                          const QString& Text) {
    QMessageBox::critical(Parent, QStringLiteral("Dyskar"), Text);
};

std::function<bool(QWidget*, const QString&)> TMainForm::AskUser = [](QWidget* Parent,
                                                                      const QString& Text) {
    return QMessageBox::question(Parent, QStringLiteral("Dyskar"), Text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
};

void RunGuarded(QWidget* Window, const std::function<void()>& Handler)
{
    try {
        Handler();
    } catch (const std::exception& e) {
        TMainForm::ShowMessage(Window, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TMainForm::ShowMessage(Window, QStringLiteral("Nieznany błąd"));
    }
}

TMainForm::TMainForm(const QString& DataFile, QWidget* Parent)
    : QMainWindow(Parent),
      m_DataFile(DataFile.isEmpty()
                     ? Catalogue::DataFilePath(QCoreApplication::applicationFilePath())
                     : DataFile)
{
    MainForm = this;
    setWindowTitle(QStringLiteral("Dyskar"));
    setFont(FormFont(11));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    dfsList1 = new TdfsExtListView(central);
    // The master list is never shown: outside the window, screen readers do not meet it as
    // a second list.
    AllList = new TdfsExtListView(nullptr);
    AllList->setVisible(false);
    m_Undo = std::make_unique<TUndoSteps>(*AllList);
    layout->addWidget(dfsList1, 1);

    Panel1 = new QWidget(central);
    Panel1->setFixedHeight(96);
    layout->addWidget(Panel1);

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

    // Tab order: the list, then the panel's controls by their tab numbers.
    QWidget* order[] = {dfsList1,  ComboBox1, Porz, Nieporz, Drukuj,
                        ComboBox2, Dodaj,     Usun, Zapisz,  Button1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    StatusBar1 = new QWidget(central);
    StatusBar1->setFixedHeight(19);
    auto* bar = new QHBoxLayout(StatusBar1);
    bar->setContentsMargins(0, 1, 0, 0);
    bar->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(1, 0, 1, 0);
        if (kPanelWidths[i] > 0)
            panel->setFixedWidth(kPanelWidths[i]);
        bar->addWidget(panel, kPanelWidths[i] > 0 ? 0 : 1);
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    layout->addWidget(StatusBar1);

    Popup = new QMenu(this);
    Zapiszzmiany1 = Popup->addAction(QStringLiteral("Zapisz zmiany"));
    Niezapisuj1 = Popup->addAction(QStringLiteral("Nie zapisuj"));

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);

    SetUpList(*dfsList1, 100000000);
    SetUpList(*AllList, 1000);

    QamLVPrinter1 = new TQamLVPrinter();
    QamLVPrinter1->SetDfs(dfsList1);
    QamLVPrinter1->SetHeader("Lista CD");
    QamLVPrinter1->SetHeaderStyle(fsBold);
    QamLVPrinter1->SetItemsPerPage(0);

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
    SetUpKeys();

    resize(630 - 8, 481 - 27); // the outer size, less a usual frame
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(630 / 2, 481 / 2));

    Timer1->start();
    FormCreate(this);
}

TMainForm::~TMainForm()
{
    delete QamLVPrinter1;
    m_Undo.reset();
    delete AllList;
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::SetUpList(TdfsExtListView& List, int HoverTime)
{
    List.BeginLoading();
    struct TColumnSpec
    {
        const char* Caption;
        int Width;
        TAlignment Alignment;
    };
    const TColumnSpec columns[] = {{"Nazwa", 200, taLeftJustify},
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
}

void TMainForm::SetStatus(TStatusPanel Panel, const QString& Text)
{
    QLabel* panel = StatusPanels.at(static_cast<std::size_t>(Panel));
    panel->setText(Text);
    if (Panel == spActivity)
        return; // it takes the rest of the bar
    // A panel keeps its width while the text fits, and grows so that a count is never cut.
    const int needed = panel->fontMetrics().horizontalAdvance(Text) +
                       panel->contentsMargins().left() + panel->contentsMargins().right() +
                       2 * panel->frameWidth() + 2 * panel->margin() + 2;
    const int width = std::max(kPanelWidths[Panel], needed);
    if (panel->minimumWidth() != width)
        panel->setFixedWidth(width);
}

QString TMainForm::StatusText(TStatusPanel Panel) const
{
    return StatusPanels.at(static_cast<std::size_t>(Panel))->text();
}

void TMainForm::FormCreate(QObject*)
{
    SetStatus(spActivity, QStringLiteral("Inicjacja..."));
    Zapisane = true;
    m_Stamp = Catalogue::StampOf(m_DataFile);
    const Catalogue::TLoadResult loaded = Catalogue::Load(m_DataFile, *AllList);
    const QString path = QDir::toNativeSeparators(m_DataFile);
    if (!loaded.Opened && Catalogue::SomethingAt(m_DataFile)) {
        // A file that is there but could not be read must not be replaced by an empty one.
        m_FileUnread = true;
        ShowMessage(this, QStringLiteral("Nie można odczytać pliku %1: %2.\nKatalog jest pusty; "
                                         "zapisanie zmian nie zastąpi tego pliku bez pytania.")
                              .arg(path, loaded.Error));
    } else if (loaded.ReadFailed) {
        // Saving now would write back only the part that could be read.
        m_FileUnread = true;
        ShowMessage(this, QStringLiteral("Nie można w całości odczytać pliku %1: %2.\nWczytano %3 "
                                         "pozycji; zapisanie zmian nie zastąpi pliku bez pytania.")
                              .arg(path, loaded.Error)
                              .arg(loaded.Records));
    }
    OdswierzComboBoxy(this);
    Wyswietl(this);
    dfsList1->ResortItems();
    SetStatus(spActivity, QStringLiteral("Gotowy"));
}

void TMainForm::Wyswietl(QObject*)
{
    SetStatus(spActivity, QStringLiteral("Odświerzanie..."));
    dfsList1->setVisible(false);
    TListItems& visible = dfsList1->Items();
    visible.BeginUpdate();
    visible.Clear();
    KindFilter = FilterOf(*ComboBox1);
    ShelfFilter = FilterOf(*ComboBox2);
    const bool lent = Porz->isChecked();
    const bool notLent = Nieporz->isChecked();
    const TListItems& master = AllList->Items();
    const int count = master.Count();
    // The shown discs are counted while their rows are at hand, not in a second pass.
    std::int64_t discs = 0;
    for (int i = 0; i < count; ++i) {
        master.ReadAhead(i);
        TListItem* row = master.Item(i);
        const TRowText& text = row->Texts();
        const bool isLent = !text.Field(Catalogue::fdLentTo).empty();
        if (!((isLent && lent) || (!isLent && notLent)))
            continue;
        if (!KindFilter.empty() && text.Field(Catalogue::fdKind) != KindFilter)
            continue;
        if (!ShelfFilter.empty() && text.Field(Catalogue::fdShelf) != ShelfFilter)
            continue;
        LastAdded = visible.Add(text); // a copy in meaning; the texts are shared
        LastAdded->Data = row;
        discs += Catalogue::DiscCount(text.Field(Catalogue::fdDiscs));
    }
    LastAdded = nullptr;
    visible.EndUpdate();
    m_ShownDiscs = TShownDiscs{dfsList1->Control().Changes(), discs};
    dfsList1->setVisible(true);
    Timer1Timer(this);
    SetStatus(spActivity, QStringLiteral("Gotowy"));
}

void TMainForm::OdswierzComboBoxy(QObject*)
{
    const std::string kind = ComboBox1->Text();
    const std::string shelf = ComboBox2->Text();
    m_PickLists->Refresh(AllList->Items(), AllList->Control().TextJournal());
    // The entry chosen stays chosen while it is there; else the same value in its spelling
    // now, or no filter.
    for (const auto& [box, chosen] : {std::pair{ComboBox1, &kind}, std::pair{ComboBox2, &shelf}}) {
        if (box->ItemIndex() >= 0 && box->Text() == *chosen)
            continue;
        const int k = box->FindIgnoreCase(*chosen);
        box->SetItemIndex(k >= 0 ? k : 0);
    }
    // A filter whose value is gone (or now spelt otherwise) shows another entry now; the list
    // must show what the pick lists say, not an empty list under "- Wszystkie -".
    if (FilterOf(*ComboBox1) != KindFilter || FilterOf(*ComboBox2) != ShelfFilter)
        Wyswietl(this);
}

void TMainForm::Timer1Timer(QObject*)
{
    SetStatus(spClock, TimeOfDay());
    const TListItems& items = dfsList1->Items();
    const int count = items.Count();
    // The shown rows are summed again only after they changed: an idle window costs nothing.
    const std::uint64_t changes = dfsList1->Control().Changes();
    if (!m_ShownDiscs || m_ShownDiscs->Changes != changes) {
        std::int64_t discs = 0;
        for (int i = 0; i < count; ++i) {
            items.ReadAhead(i);
            discs += Catalogue::DiscCount(items.Item(i)->Texts().Field(Catalogue::fdDiscs));
        }
        m_ShownDiscs = TShownDiscs{changes, discs};
    }
    SetStatus(spItems, QStringLiteral("Pozycji: %1").arg(count));
    SetStatus(spDiscs, QStringLiteral("Płyt: %1").arg(m_ShownDiscs->Discs));
}

TListItem* TMainForm::MasterRowOf(const TListItem* VisibleRow) const
{
    if (!VisibleRow || !VisibleRow->Data)
        return nullptr;
    auto* master = static_cast<TListItem*>(VisibleRow->Data);
    // The master row may have gone since the view was built; never touch a row that has.
    return AllList->Control().IndexOfRow(master) >= 0 ? master : nullptr;
}

void TMainForm::UsunClick(QObject*)
{
    TListItem* selected = dfsList1->Selected();
    if (!selected)
        return;
    if (TListItem* master = MasterRowOf(selected)) {
        m_Undo->RememberDeletion(*master);
        master->Delete();
    }
    selected->Delete();
    Zapisane = false;
}

bool TMainForm::MayReplaceDataFile()
{
    const QString path = QDir::toNativeSeparators(m_DataFile);
    if (m_FileUnread)
        return AskUser(this, QStringLiteral("Plik %1 nie został w całości wczytany. Zapisanie "
                                            "zastąpi go %2 pozycjami katalogu, a reszta jego "
                                            "zawartości przepadnie.\nZastąpić plik?")
                                 .arg(path)
                                 .arg(AllList->Items().Count()));
    // Another copy of the program (or anyone) may have saved since we read the file.
    if (Catalogue::StampOf(m_DataFile) != m_Stamp)
        return AskUser(this, QStringLiteral("Plik %1 został zmieniony przez inny program po "
                                            "wczytaniu. Zapisanie zastąpi tamte zmiany.\n"
                                            "Zastąpić plik?")
                                 .arg(path));
    return true;
}

void TMainForm::ZapiszClick(QObject* Sender)
{
    SetStatus(spActivity, QStringLiteral("Zapisywanie..."));
    if (!MayReplaceDataFile()) {
        SetStatus(spActivity, QStringLiteral("Gotowy"));
        return;
    }
    const Catalogue::TSaveResult saved = Catalogue::Save(m_DataFile, *AllList);
    SetStatus(spActivity, QStringLiteral("Gotowy"));
    if (saved.Ok) {
        m_FileUnread = false;
        m_Stamp = Catalogue::StampOf(m_DataFile);
    }
    if (!saved.Ok) {
        ShowMessage(this,
                    QStringLiteral("Nie można zapisać pliku %1: %2.\nZmiany nie zostały "
                                   "zapisane; poprzednia zawartość pliku pozostała bez zmian.")
                        .arg(QDir::toNativeSeparators(m_DataFile), saved.Error));
        return;
    }
    const auto* button = qobject_cast<const TTagButton*>(Sender);
    if (button && button->Tag == kSaveButtonTag)
        return;
    Zapisane = true;
    RequestClose();
}

void TMainForm::Niezapisuj1Click(QObject*)
{
    Zapisane = true;
    RequestClose();
}

void TMainForm::Button1Click(QObject*)
{
    RequestClose();
}

void TMainForm::RequestClose()
{
    // Inside the close query the window is already being closed; let that close pass.
    if (m_InCloseQuery) {
        m_CloseRequested = true;
        return;
    }
    close();
}

void TMainForm::DrukujClick(QObject*)
{
    QamLVPrinter1->Print();
}

void TMainForm::RememberForUndo(const TListItem& MasterRow)
{
    m_Undo->RememberEdit(MasterRow);
}

void TMainForm::CofnijClick(QObject*)
{
    if (!m_Undo->Undo())
        return;
    // As after an edit: the view and the pick lists show the record again.
    Wyswietl(this);
    OdswierzComboBoxy(this);
    Zapisane = false;
}

void TMainForm::FormCloseQuery(QObject*, bool& CanClose)
{
    CanClose = Zapisane;
    if (CanClose)
        return;
    m_CloseRequested = false;
    Popup->exec(QCursor::pos());
    if (m_CloseRequested && Zapisane)
        CanClose = true;
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (m_InCloseQuery) {
        Event->ignore();
        return;
    }
    bool canClose = true;
    m_InCloseQuery = true;
    RunGuarded(this, [&] { FormCloseQuery(this, canClose); });
    m_InCloseQuery = false;
    m_CloseRequested = false;
    if (canClose) {
        Timer1->stop();
        Event->accept();
    } else {
        Event->ignore();
    }
}

void TMainForm::DodajClick(QObject*)
{
    SetStatus(spActivity, QStringLiteral("Dodawanie..."));
    DodajForm->Open(*ComboBox1);
    OdswierzComboBoxy(this);
    SetStatus(spActivity, QStringLiteral("Gotowy"));
}

void TMainForm::dfsList1DblClick(QObject*)
{
    TListItem* selected = dfsList1->Selected();
    if (!selected)
        return;
    SetStatus(spActivity, QStringLiteral("Edycja..."));
    EdytujForm->Open(*ComboBox1, *selected);
    OdswierzComboBoxy(this);
    SetStatus(spActivity, QStringLiteral("Gotowy"));
}
