#pragma once

#include "ImportLayouts.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TColumnChoiceTable;

// What an import from CSV will do, shown before anything changes: for a file in another
// layout, a preview with a choice above each column of what it fills; how many records will be
// added; and the lines that cannot be, with their numbers and why. "Importuj" adds them.
class TImportDialog final : public QDialog
{
    Q_OBJECT
public:
    // The table must outlive the dialog. Remembered: the proposal is the one last used for
    // this header.
    TImportDialog(const QString& File, const Csv::TTable& Table, const Csv::TLayout& Layout,
                  bool Remembered, QWidget* Parent);

    const Csv::TMapping& Mapping() const { return m_Mapping; }
    const Csv::TReading& Reading() const { return m_Reading; }
    // The most refusals listed; a line after them counts the rest.
    static constexpr int kListed = 100;
    // The most rows the preview shows.
    static constexpr int kPreviewed = 20;
    // The most columns offered; a file with more is no collection but a line of separators.
    static constexpr int kMostColumns = 200;

    QLabel* Summary;
    QLabel* Found = nullptr; // what the file was recognised as, and how Nazwa is joined
    QCheckBox* HeaderRow = nullptr;
    TColumnChoiceTable* Columns = nullptr; // none for a file in the catalogue's own layout
    QLabel* Example = nullptr;             // the first record as it will be added
    QListWidget* Problems;
    QPushButton* Importuj;
    QPushButton* Anuluj;

private:
    void BuildMappingStep(const Csv::TLayout& Layout, bool Remembered);
    void ShowPreview();
    void Choose(int Column, int Choice);
    void Recount();
    void MarkPreview();
    void ShowExample();

    const Csv::TTable& m_Table;
    const QString m_File;
    Csv::TMapping m_Mapping;
    Csv::TReading m_Reading;
    std::vector<int> m_PreviewRows; // the table rows the preview shows
    QLabel* m_ProblemsLabel = nullptr;
};
