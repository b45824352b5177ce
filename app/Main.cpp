#include "Main.h"

#include "Catalogue.h"
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
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TMainForm* MainForm = nullptr;

namespace {

// The value a pick list filters by; "- Wszystkie -" filters nothing.
std::string FilterOf(const TSortedComboBox& Box)
{
    const std::string text = Box.Text();
    return text == kWszystkie ? std::string() : text;
}

} // namespace

TMainForm::TMainForm(const QString& DataFile, QWidget* Parent)
    : TMainForm(DataFile.isEmpty() ? DefaultCatalogueFile(QCoreApplication::applicationFilePath())
                                   : TCatalogueFile{DataFile, false},
                Parent)
{
}

TMainForm::TMainForm(const TCatalogueFile& File, QWidget* Parent)
    : QMainWindow(Parent), m_DataFile(File.Path), m_MakeFolder(File.MakeFolder), m_Safety(File.Path)
{
    MainForm = this;
    setWindowTitle(QStringLiteral("Dyskar"));
    setFont(FormFont(11));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    BuildLists(*layout);
    BuildPanel(*layout);
    BuildStatusBar(*layout);
    BuildPopupAndTimer();
    BuildPrinter();
    BindHandlers();
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

void TMainForm::SetStatus(TStatusPanel Panel, const QString& Text)
{
    StatusBar1->SetText(Panel, Text);
}

QString TMainForm::StatusText(TStatusPanel Panel) const
{
    return StatusBar1->Text(Panel);
}

void TMainForm::FormCreate(QObject*)
{
    SetStatus(spActivity, QStringLiteral("Inicjacja..."));
    Zapisane = true;
    if (!m_Safety.Open(this)) {
        m_Refused = true; // nothing is read, and nothing will be written
        return;
    }
    m_Stamp = Catalogue::StampOf(m_DataFile);
    ReportLoad(Catalogue::Load(m_DataFile, *AllList));
    OdswierzComboBoxy(this);
    Wyswietl(this);
    dfsList1->ResortItems();
    SetStatus(spActivity, QStringLiteral("Gotowy"));
}

void TMainForm::ReportLoad(const Catalogue::TLoadResult& Loaded)
{
    const QString path = QDir::toNativeSeparators(m_DataFile);
    if (!Loaded.Opened && Catalogue::SomethingAt(m_DataFile)) {
        // A file that is there but could not be read must not be replaced by an empty one.
        m_FileUnread = true;
        ShowMessage(this, QStringLiteral("Nie można odczytać pliku %1: %2.\nKatalog jest pusty; "
                                         "zapisanie zmian nie zastąpi tego pliku bez pytania.")
                              .arg(path, Loaded.Error));
    } else if (Loaded.ReadFailed) {
        // Saving now would write back only the part that could be read.
        m_FileUnread = true;
        ShowMessage(this, QStringLiteral("Nie można w całości odczytać pliku %1: %2.\nWczytano %3 "
                                         "pozycji; zapisanie zmian nie zastąpi pliku bez pytania.")
                              .arg(path, Loaded.Error)
                              .arg(Loaded.Records));
    }
}

void TMainForm::Wyswietl(QObject*)
{
    SetStatus(spActivity, QStringLiteral("Odświerzanie..."));
    dfsList1->setVisible(false);
    m_Filter = CurrentFilter();
    m_View->Rebuild(m_Filter);
    // While a text is found, the rows keep the order the user sorted them in.
    if (!m_Filter.Find.empty() || m_Filter.FindNothing)
        dfsList1->ResortItems();
    m_FilteredAt = dfsList1->Control().Changes();
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
    if (FilterOf(*ComboBox1) != m_Filter.Kind || FilterOf(*ComboBox2) != m_Filter.Shelf)
        Wyswietl(this);
}

void TMainForm::Timer1Timer(QObject*)
{
    SetStatus(spClock, TimeOfDay());
    SetStatus(spItems, QStringLiteral("Pozycji: %1").arg(dfsList1->Items().Count()));
    SetStatus(spDiscs, QStringLiteral("Płyt: %1").arg(m_View->ShownDiscs()));
}

TListItem* TMainForm::MasterRowOf(const TListItem* VisibleRow) const
{
    if (!VisibleRow || !VisibleRow->Data())
        return nullptr;
    auto* master = static_cast<TListItem*>(VisibleRow->Data());
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
    Catalogue::TSaveResult saved;
    QString versionError;
    if (m_MakeFolder && !MakeFolderOf(m_DataFile, saved.Error))
        saved.Ok = false;
    else
        saved = Catalogue::Save(m_DataFile, *AllList, m_Safety.CareForSave(versionError));
    if (!versionError.isEmpty())
        ShowMessage(this, QStringLiteral("Nie można zachować poprzedniej wersji katalogu: %1.")
                              .arg(versionError));
    SetStatus(spActivity, QStringLiteral("Gotowy"));
    if (!saved.Ok) {
        ShowMessage(this,
                    QStringLiteral("Nie można zapisać pliku %1: %2.\nZmiany nie zostały "
                                   "zapisane; poprzednia zawartość pliku pozostała bez zmian.")
                        .arg(QDir::toNativeSeparators(m_DataFile), saved.Error));
        return;
    }
    m_FileUnread = false;
    m_Stamp = Catalogue::StampOf(m_DataFile);
    m_Safety.Saved();
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

void TMainForm::PutMasterInOrder()
{
    AllList->ResortItems();
    m_MasterInOrder = true;
}

void TMainForm::CofnijClick(QObject*)
{
    if (!m_Undo->Undo())
        return;
    // The record is back at the place it stood in; where records were added or edited since,
    // the others have moved, and the place holds only once the list is put in order again.
    if (m_MasterInOrder)
        AllList->ResortItems();
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
