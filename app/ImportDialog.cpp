#include "ImportDialog.h"

#include "Fonts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TImportDialog::TImportDialog(const QString& File, const Csv::TReading& Reading, QWidget* Parent)
    : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Importuj z CSV"));
    setFont(FormFont(11));
    auto* layout = new QVBoxLayout(this);
    const int added = int(Reading.Records.size());
    Summary = new QLabel(QStringLiteral("Plik: %1\nPozycje do dodania: %2.")
                             .arg(QDir::toNativeSeparators(File))
                             .arg(added),
                         this);
    Summary->setWordWrap(true);
    layout->addWidget(Summary);
    auto* label = new QLabel(Reading.Problems.empty()
                                 ? QStringLiteral("Wszystkie wiersze można zaimportować.")
                                 : QStringLiteral("Wiersze, których nie można zaimportować:"),
                             this);
    layout->addWidget(label);
    Problems = new QListWidget(this);
    Problems->setAccessibleName(QStringLiteral("Wiersze, których nie można zaimportować"));
    label->setBuddy(Problems);
    for (const Csv::TProblem& problem : Reading.Problems)
        Problems->addItem(QStringLiteral("wiersz %1: %2").arg(problem.Line).arg(problem.Reason));
    Problems->setVisible(!Reading.Problems.empty());
    layout->addWidget(Problems, 1);
    auto* buttons = new QDialogButtonBox(this);
    Importuj = buttons->addButton(QStringLiteral("Importuj"), QDialogButtonBox::AcceptRole);
    Anuluj = buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    Importuj->setEnabled(added > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, Reading.Problems.empty() ? 160 : 360);
}
