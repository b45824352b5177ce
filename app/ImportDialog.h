#pragma once

#include "CsvFormat.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// What an import from CSV will do, shown before anything changes: how many records will be
// added, and each line that cannot be, with its number and why. "Importuj" adds them.
class TImportDialog final : public QDialog
{
    Q_OBJECT
public:
    TImportDialog(const QString& File, const Csv::TReading& Reading, QWidget* Parent);

    QLabel* Summary;
    QListWidget* Problems;
    QPushButton* Importuj;
    QPushButton* Anuluj;
};
