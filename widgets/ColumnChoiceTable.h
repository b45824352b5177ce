#pragma once

#include <QStringList>
#include <QTableWidget>

#include <vector>

class QComboBox;

// A preview of a file's first rows with a box above each column choosing what the column
// fills; rows can be marked, with the reason shown on hover.
class TColumnChoiceTable final : public QTableWidget
{
    Q_OBJECT
public:
    enum class TMark
    {
        None,
        Note,
        Refused
    };

    explicit TColumnChoiceTable(QWidget* Parent = nullptr);

    // The texts each box offers, the first meaning "nothing".
    void SetChoices(const QStringList& Choices);
    // The columns' titles and the rows shown, each row with its label (a line number).
    void SetContent(const QStringList& Titles, const std::vector<QStringList>& Rows,
                    const QStringList& RowLabels);
    int Choice(int Column) const;
    // Sets a box without telling anyone.
    void SetChoice(int Column, int Choice);
    QComboBox* ChoiceBox(int Column) const;
    // Marks a shown row (0 is the first under the boxes).
    void MarkRow(int Row, TMark Mark, const QString& Why);
    TMark RowMark(int Row) const;

signals:
    void ChoiceChanged(int Column, int Choice);

private:
    QStringList m_Choices;
};
