#include "ImportDialog.h"

#include "ColumnChoiceTable.h"
#include "Cp1250.h"
#include "Fonts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QStringList ChoiceTexts()
{
    QStringList texts;
    for (int k = 0; k < Csv::kTargets; ++k)
        texts << Csv::TargetCaption(Csv::TTarget(k));
    return texts;
}

} // namespace

TImportDialog::TImportDialog(const QString& File, const Csv::TTable& Table,
                             const Csv::TLayout& Layout, bool Remembered, QWidget* Parent)
    : QDialog(Parent), m_Table(Table), m_File(File), m_Mapping(Layout.Proposal)
{
    setWindowTitle(QStringLiteral("Importuj z CSV"));
    setFont(FormFont(11));
    auto* layout = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setWordWrap(true);
    layout->addWidget(Summary);
    const bool mapping = Layout.Kind != Csv::TLayoutKind::Own;
    if (mapping)
        BuildMappingStep(Layout, Remembered);
    m_ProblemsLabel = new QLabel(this);
    layout->addWidget(m_ProblemsLabel);
    Problems = new QListWidget(this);
    Problems->setAccessibleName(QStringLiteral("Wiersze, których nie można zaimportować"));
    m_ProblemsLabel->setBuddy(Problems);
    layout->addWidget(Problems, 1);
    auto* buttons = new QDialogButtonBox(this);
    Importuj = buttons->addButton(QStringLiteral("Importuj"), QDialogButtonBox::AcceptRole);
    Anuluj = buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Recount();
    resize(mapping ? 900 : 520, mapping ? 620 : (m_Reading.Problems.empty() ? 160 : 360));
}

void TImportDialog::BuildMappingStep(const Csv::TLayout& Kind, bool Remembered)
{
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    const QString found =
        Remembered ? QStringLiteral("Zaproponowano przyporządkowanie użyte ostatnio dla "
                                    "pliku z takim nagłówkiem.")
        : Kind.Kind == Csv::TLayoutKind::Unknown
            ? QStringLiteral("Nie rozpoznano układu pliku: wybierz nad kolumnami, co mają "
                             "wypełnić.")
            : QStringLiteral("Rozpoznano: %1. Sprawdź, co wypełnia każda kolumna.").arg(Kind.Name);
    const QString cut = m_Table.Columns() > kMostColumns
                            ? QStringLiteral(" Kolumn w pliku: %1; można wybrać spośród "
                                             "pierwszych %2.")
                                  .arg(m_Table.Columns())
                                  .arg(kMostColumns)
                            : QString();
    Found =
        new QLabel(found + cut +
                       QStringLiteral("\nNazwę można złożyć z dwóch kolumn: wybierz „Nazwa” nad "
                                      "pierwszą i „Nazwa – dalszy ciąg” nad drugą; zostaną "
                                      "połączone znakiem „ – ”."),
                   this);
    Found->setWordWrap(true);
    layout->addWidget(Found);
    HeaderRow = new QCheckBox(QStringLiteral("&Pierwszy wiersz zawiera nagłówki kolumn"), this);
    HeaderRow->setChecked(m_Mapping.HeaderRow);
    layout->addWidget(HeaderRow);
    Columns = new TColumnChoiceTable(this);
    Columns->setAccessibleName(QStringLiteral("Podgląd pliku i przyporządkowanie kolumn"));
    Columns->SetChoices(ChoiceTexts());
    layout->addWidget(Columns, 4);
    auto* legend = new QLabel(QStringLiteral("! – Ilość CD nie jest liczbą całkowitą i zostanie "
                                             "zapisana jako tekst;  × – wiersz nie zostanie "
                                             "zaimportowany (powód po wskazaniu myszą)."),
                              this);
    legend->setWordWrap(true);
    layout->addWidget(legend);
    Example = new QLabel(this);
    Example->setWordWrap(true);
    Example->setTextFormat(Qt::PlainText);
    layout->addWidget(Example);
    m_Mapping.Columns.resize(std::size_t(std::clamp(m_Table.Columns(), 1, kMostColumns)),
                             Csv::TTarget::Nothing);
    ShowPreview();
    connect(HeaderRow, &QCheckBox::toggled, this, [this](bool On) {
        m_Mapping.HeaderRow = On;
        ShowPreview();
        Recount();
    });
    connect(Columns, &TColumnChoiceTable::ChoiceChanged, this, &TImportDialog::Choose);
}

void TImportDialog::ShowPreview()
{
    QStringList titles;
    for (int column = 0; column < int(m_Mapping.Columns.size()); ++column) {
        const QString caption = m_Mapping.HeaderRow && m_Table.Rows() > 0
                                    ? m_Table.Field(0, column).trimmed().toString()
                                    : QString();
        titles << (caption.isEmpty() ? QStringLiteral("Kolumna %1").arg(column + 1) : caption);
    }
    std::vector<QStringList> rows;
    QStringList labels;
    m_PreviewRows.clear();
    for (int row = m_Mapping.HeaderRow ? 1 : 0; row < m_Table.Rows(); ++row) {
        if (int(rows.size()) == kPreviewed)
            break;
        rows.push_back(m_Table.RowTexts(row));
        labels << QString::number(m_Table.Line(row));
        m_PreviewRows.push_back(row);
    }
    Columns->SetContent(titles, rows, labels);
    for (int column = 0; column < int(m_Mapping.Columns.size()); ++column)
        Columns->SetChoice(column, int(m_Mapping.Columns[std::size_t(column)]));
}

void TImportDialog::Choose(int Column, int Choice)
{
    const auto target = Csv::TTarget(Choice);
    // A field is filled from one column, Nazwa from one for each of its parts: the column
    // that filled it before gives it up.
    const auto clashes = [target](Csv::TTarget Other) {
        const bool bothNazwa =
            Other != target && Csv::FieldOf(Other) == 0 && Csv::FieldOf(target) == 0;
        return target != Csv::TTarget::Nothing && Csv::FieldOf(Other) == Csv::FieldOf(target) &&
               !bothNazwa;
    };
    for (std::size_t other = 0; other < m_Mapping.Columns.size(); ++other)
        if (int(other) != Column && clashes(m_Mapping.Columns[other])) {
            m_Mapping.Columns[other] = Csv::TTarget::Nothing;
            Columns->SetChoice(int(other), 0);
        }
    m_Mapping.Columns[std::size_t(Column)] = target;
    Recount();
}

void TImportDialog::Recount()
{
    m_Reading = Csv::Apply(m_Table, m_Mapping);
    const int added = int(m_Reading.Records.size());
    const int refused = int(m_Reading.Problems.size());
    QString summary = QStringLiteral("Plik: %1\nPozycje do dodania: %2.")
                          .arg(QDir::toNativeSeparators(m_File))
                          .arg(added);
    if (refused > 0)
        summary += QStringLiteral(" Wiersze odrzucone: %1.").arg(refused);
    if (!m_Reading.NotWhole.empty())
        summary += QStringLiteral(" Ilość CD nie jest liczbą całkowitą w %1 z nich.")
                       .arg(m_Reading.NotWhole.size());
    if (!m_Mapping.MapsAnything())
        summary += QStringLiteral(" Wybierz, co wypełniają kolumny pliku.");
    Summary->setText(summary);
    m_ProblemsLabel->setText(refused == 0 ? (added > 0 ? QStringLiteral("Wszystkie wiersze można "
                                                                        "zaimportować.")
                                                       : QString())
                                          : QStringLiteral("Wiersze, których nie można "
                                                           "zaimportować:"));
    Problems->clear();
    for (int k = 0; k < refused && k < kListed; ++k) {
        const Csv::TProblem& problem = m_Reading.Problems[std::size_t(k)];
        Problems->addItem(QStringLiteral("wiersz %1: %2").arg(problem.Line).arg(problem.Reason));
    }
    if (refused > kListed)
        Problems->addItem(QStringLiteral("… dalsze odrzucone wiersze: %1.").arg(refused - kListed));
    Problems->setVisible(refused > 0);
    // Beside the preview a few refusals need no more than a few lines.
    if (Columns && refused > 0)
        Problems->setMaximumHeight(Problems->sizeHintForRow(0) * std::clamp(refused, 1, 8) + 8);
    Importuj->setEnabled(added > 0);
    if (Columns) {
        MarkPreview();
        ShowExample();
    }
}

void TImportDialog::ShowExample()
{
    if (m_Reading.Records.empty()) {
        Example->clear();
        return;
    }
    QStringList fields;
    const Csv::TRecord& first = m_Reading.Records.front();
    for (int k = 0; k < int(first.size()); ++k)
        fields << QStringLiteral("%1 „%2”").arg(Csv::FieldCaption(k),
                                                Cp1250::ToUnicode(first[std::size_t(k)]));
    Example->setText(QStringLiteral("Pierwsza pozycja: ") + fields.join(QStringLiteral(", ")));
}

void TImportDialog::MarkPreview()
{
    // Both lists are in line order, as the preview is.
    const std::vector<Csv::TProblem>& refused = m_Reading.Problems;
    const std::vector<int>& notWhole = m_Reading.NotWhole;
    for (int k = 0; k < int(m_PreviewRows.size()); ++k) {
        const int line = m_Table.Line(m_PreviewRows[std::size_t(k)]);
        const auto found = std::lower_bound(
            refused.begin(), refused.end(), line,
            [](const Csv::TProblem& Problem, int Line) { return Problem.Line < Line; });
        if (found != refused.end() && found->Line == line)
            Columns->MarkRow(k, TColumnChoiceTable::TMark::Refused, found->Reason);
        else if (std::binary_search(notWhole.begin(), notWhole.end(), line))
            Columns->MarkRow(k, TColumnChoiceTable::TMark::Note,
                             QStringLiteral("Ilość CD nie jest liczbą całkowitą: zostanie "
                                            "zapisana jako tekst."));
        else
            Columns->MarkRow(k, TColumnChoiceTable::TMark::None, QString());
    }
}
