// The main window's commands beyond its buttons: the find line, copying a record, the list's
// context menu.
#include "Main.h"

#include "Catalogue.h"
#include "Cp1250.h"
#include "CsvFormat.h"
#include "ExtListView.h"
#include "FindBar.h"
#include "FindText.h"
#include "ImportDialog.h"
#include "MappingMemory.h"
#include "Printing.h"
#include "QamLVPrinter.h"
#include "SafeFileWriter.h"
#include "SortedComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>

namespace {

// The value a pick list filters by; "- Wszystkie -" filters nothing.
std::string FilterOf(const TSortedComboBox& Box)
{
    const std::string text = Box.Text();
    return text == kWszystkie ? std::string() : text;
}

// The file a command writes, with the suffix of its kind when the name has none; empty when
// the user chose none.
QString FileToWrite(QWidget* Parent, const QString& Title, const QString& Suffix)
{
    QString path = DialogParts::AskFileName(
        Parent, Title, QStringLiteral("Pliki %1 (*.%2)").arg(Suffix.toUpper(), Suffix), true);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + Suffix;
    return path;
}

} // namespace

TViewFilter TMainForm::CurrentFilter() const
{
    TViewFilter filter;
    filter.Lent = Porz->isChecked();
    filter.NotLent = Nieporz->isChecked();
    filter.Kind = FilterOf(*ComboBox1);
    filter.Shelf = FilterOf(*ComboBox2);
    const QString text = FindBar->Text();
    if (!text.isEmpty()) {
        const std::optional<std::string> bytes = Cp1250::FromUnicode(text);
        if (bytes)
            filter.Find = FindText::Folded(*bytes);
        else
            filter.FindNothing = true; // no record holds what the code page cannot
    }
    return filter;
}

void TMainForm::BindFindAndMenu()
{
    connect(FindBar, &TFindBar::TextChanged, this,
            [this](const QString& Text) { RunGuarded(this, [&] { ApplyFind(Text); }); });
    connect(FindBar, &TFindBar::Closed, this, [this] {
        RunGuarded(this, [&] { Wyswietl(FindBar); });
        dfsList1->setFocus();
    });
    QWidget* view = dfsList1->Control().View();
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& At) { RunGuarded(this, [&] { ShowListMenu(At); }); });
    // Shift+F10 asks for the menu, as the Menu key does; on X11 Qt does not make it one.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), dfsList1);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        auto* v = dfsList1->Control().View();
        const int row = dfsList1->Control().SelectedRow();
        const QRect at = row >= 0 ? v->visualRect(v->model()->index(row, 0)) : QRect();
        RunGuarded(this, [&] { ShowListMenu(at.isValid() ? at.center() : QPoint(4, 4)); });
    });
}

void TMainForm::SzukajClick(QObject*)
{
    if (FindBar->isVisible()) {
        FindBar->Close(); // shows what the filters alone show
        FindBar->hide();
        dfsList1->setFocus();
        return;
    }
    FindBar->Open();
}

void TMainForm::ApplyFind(const QString&)
{
    const TViewFilter filter = CurrentFilter();
    // A text typed further narrows the rows shown, in their order; anything else shows them
    // anew from the master list.
    const bool further = !m_Filter.Find.empty() && !m_Filter.FindNothing && !filter.FindNothing &&
                         filter.Find.size() > m_Filter.Find.size() &&
                         filter.Find.compare(0, m_Filter.Find.size(), m_Filter.Find) == 0 &&
                         filter.Lent == m_Filter.Lent && filter.NotLent == m_Filter.NotLent &&
                         filter.Kind == m_Filter.Kind && filter.Shelf == m_Filter.Shelf &&
                         dfsList1->Control().Changes() == m_FilteredAt;
    if (!further) {
        Wyswietl(FindBar);
        return;
    }
    m_View->Narrow(filter);
    m_Filter = filter;
    m_FilteredAt = dfsList1->Control().Changes();
    Timer1Timer(FindBar);
}

void TMainForm::KopiujClick(QObject*)
{
    const TListItem* selected = dfsList1->Selected();
    if (!selected)
        return;
    QStringList fields;
    QString cells;
    for (int f = 0; f < Catalogue::kFieldCount; ++f) {
        const QString text = Cp1250::ToUnicode(selected->Texts().Field(f));
        fields << text;
        cells += QStringLiteral("<td>%1</td>").arg(text.toHtmlEscaped());
    }
    auto* mime = new QMimeData;
    mime->setText(fields.join(QLatin1Char('\t')));
    mime->setHtml(QStringLiteral("<table><tr>%1</tr></table>").arg(cells));
    QApplication::clipboard()->setMimeData(mime);
}

void TMainForm::EksportujClick(QObject*)
{
    const QString path = FileToWrite(this, QStringLiteral("Eksportuj do CSV"), "csv");
    if (path.isEmpty())
        return;
    // With the same care as the catalogue: a new file, synced, put in place whole.
    TSafeFileWriter file(path);
    if (file.Open()) {
        QByteArray head = Csv::ByteOrderMark() + Csv::HeaderLine();
        file.Write(std::string_view(head.constData(), std::size_t(head.size())));
        dfsList1->Items().ForEach([&file](const TListItem& Row) {
            const TRowText& t = Row.Texts();
            const QByteArray line =
                Csv::RecordLine({t.Field(0), t.Field(1), t.Field(2), t.Field(3), t.Field(4)});
            file.Write(std::string_view(line.constData(), std::size_t(line.size())));
        });
    }
    if (!file.Commit())
        ShowMessage(this, QStringLiteral("Nie można wyeksportować listy do pliku %1: %2.")
                              .arg(QDir::toNativeSeparators(path), file.ErrorString()));
}

void TMainForm::ImportujClick(QObject*)
{
    const QString path = DialogParts::AskFileName(
        this, QStringLiteral("Importuj z CSV"),
        QStringLiteral("Pliki CSV (*.csv *.txt);;Wszystkie pliki (*)"), false);
    if (path.isEmpty())
        return;
    QFile file(path);
    const auto refuse = [&](const QString& Why) {
        ShowMessage(this, QStringLiteral("Nie można zaimportować pliku %1: %2.")
                              .arg(QDir::toNativeSeparators(path), Why));
    };
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // Refused before it is read whole: too large, or no text at all.
    const QString refusal = Csv::Refusal(file.size(), file.peek(1024));
    if (!refusal.isEmpty())
        return refuse(refusal);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    const Csv::TTable table = Csv::ReadTable(bytes);
    const QStringList header = table.Rows() > 0 ? table.RowTexts(0) : QStringList();
    Csv::TLayout layout = Csv::Recognise(header);
    // Another program's file: what the user chose for this header last time comes first.
    const TMappingMemory memory;
    const bool own = layout.Kind == Csv::TLayoutKind::Own;
    const std::optional<Csv::TMapping> remembered =
        own ? std::nullopt : memory.Offer(header, table.Columns());
    if (remembered)
        layout.Proposal = *remembered;
    TImportDialog dialog(path, table, layout, remembered.has_value(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!own)
        memory.Remember(header, dialog.Mapping());
    std::vector<const TListItem*> added;
    TListItems& master = AllList->Items();
    master.BeginUpdate();
    for (const Csv::TRecord& r : dialog.Reading().Records)
        added.push_back(master.Add(TRowText::FromFields({r[0], r[1], r[2], r[3], r[4]})));
    master.EndUpdate();
    // As after an Add: in order, shown, offered in the pick lists; one Ctrl+Z takes it back.
    m_Undo->RememberAdded(std::move(added));
    PutMasterInOrder();
    Wyswietl(this);
    OdswierzComboBoxy(this);
    Zapisane = false;
}

void TMainForm::PodgladClick(QObject*)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Podgląd wydruku"));
    // One layout, drawn on the preview's pages as it would be on paper.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* Pages) {
        RunGuarded(this, [&] {
            const auto canvas = MakeQtPrinterOn(*Pages);
            QamLVPrinter1->Print(*canvas);
        });
    });
    m_Preview = &preview;
    preview.exec();
    m_Preview = nullptr;
}

void TMainForm::PdfClick(QObject*)
{
    const QString path = FileToWrite(this, QStringLiteral("Zapisz jako PDF"), "pdf");
    if (path.isEmpty())
        return;
    const auto canvas = MakeQtPrinter(path);
    try {
        QamLVPrinter1->Print(*canvas);
    } catch (const EPrinter&) {
        ShowMessage(this, QStringLiteral("Nie można zapisać pliku %1: nie można go utworzyć w tym "
                                         "miejscu.")
                              .arg(QDir::toNativeSeparators(path)));
    }
}

void TMainForm::ShowListMenu(const QPoint& At)
{
    auto* view = dfsList1->Control().View();
    // A right click selects the row under the pointer first.
    const QModelIndex under = view->indexAt(At);
    if (under.isValid())
        dfsList1->Control().SetSelectedRow(under.row());
    const bool selected = dfsList1->Selected() != nullptr;
    QMenu menu(this);
    auto add = [&](const QString& Text, const QKeySequence& Keys, bool Enabled, auto Handler,
                   QObject* Sender) {
        QAction* action = menu.addAction(Text);
        action->setShortcut(Keys);
        action->setEnabled(Enabled);
        connect(action, &QAction::triggered, this,
                [this, Handler, Sender] { RunGuarded(this, [&] { (this->*Handler)(Sender); }); });
    };
    add(QStringLiteral("Edytuj…"), Qt::Key_Return, selected, &TMainForm::dfsList1DblClick,
        dfsList1);
    add(QStringLiteral("Usuń"), Qt::Key_Delete, selected, &TMainForm::UsunClick, Usun);
    add(QStringLiteral("Dodaj…"), QKeySequence(Qt::CTRL | Qt::Key_N), true, &TMainForm::DodajClick,
        Dodaj);
    add(QStringLiteral("Cofnij"), QKeySequence(Qt::CTRL | Qt::Key_Z), !m_Undo->IsEmpty(),
        &TMainForm::CofnijClick, this);
    menu.addSeparator();
    add(QStringLiteral("Kopiuj"), QKeySequence(Qt::CTRL | Qt::Key_C), selected,
        &TMainForm::KopiujClick, dfsList1);
    add(QStringLiteral("Szukaj…"), QKeySequence(Qt::CTRL | Qt::Key_F), true,
        &TMainForm::SzukajClick, this);
    menu.addSeparator();
    add(QStringLiteral("Podgląd wydruku…"), {}, true, &TMainForm::PodgladClick, this);
    add(QStringLiteral("Zapisz jako PDF…"), {}, true, &TMainForm::PdfClick, this);
    add(QStringLiteral("Eksportuj do CSV…"), {}, true, &TMainForm::EksportujClick, this);
    add(QStringLiteral("Importuj z CSV…"), {}, true, &TMainForm::ImportujClick, this);
    m_ListMenu = &menu;
    menu.exec(view->viewport()->mapToGlobal(At));
    m_ListMenu = nullptr;
}
