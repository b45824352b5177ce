#include "ColumnChoiceTable.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int kMarkRole = Qt::UserRole + 1;
constexpr int kLabelRole = Qt::UserRole + 2; // a row's label without its mark

} // namespace

TColumnChoiceTable::TColumnChoiceTable(QWidget* Parent) : QTableWidget(Parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    // Tab goes from box to box, not from cell to cell.
    setTabKeyNavigation(false);
    horizontalHeader()->setDefaultSectionSize(170);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void TColumnChoiceTable::SetChoices(const QStringList& Choices)
{
    m_Choices = Choices;
}

void TColumnChoiceTable::SetContent(const QStringList& Titles, const std::vector<QStringList>& Rows,
                                    const QStringList& RowLabels)
{
    clear();
    setColumnCount(int(Titles.size()));
    setRowCount(int(Rows.size()) + 1);
    setHorizontalHeaderLabels(Titles);
    setVerticalHeaderLabels(QStringList{QStringLiteral("Wypełnia:")} + RowLabels);
    for (int row = 0; row < int(RowLabels.size()); ++row)
        verticalHeaderItem(row + 1)->setData(kLabelRole, RowLabels[row]);
    for (int column = 0; column < columnCount(); ++column) {
        auto* box = new QComboBox(this);
        box->addItems(m_Choices);
        box->setAccessibleName(QStringLiteral("Kolumna „%1” wypełnia").arg(Titles[column]));
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, column](int Choice) { emit ChoiceChanged(column, Choice); });
        setCellWidget(0, column, box);
    }
    for (int row = 0; row < int(Rows.size()); ++row)
        for (int column = 0; column < std::min(int(Rows[std::size_t(row)].size()), columnCount());
             ++column) {
            QString text = Rows[std::size_t(row)][column];
            // A cell of several lines is shown on one; the tooltip holds it whole.
            auto* item = new QTableWidgetItem(QString(text).replace(u'\n', u' '));
            item->setToolTip(text);
            setItem(row + 1, column, item);
        }
    if (columnCount() > 0)
        setRowHeight(0, ChoiceBox(0)->sizeHint().height());
}

int TColumnChoiceTable::Choice(int Column) const
{
    const QComboBox* box = ChoiceBox(Column);
    return box ? box->currentIndex() : 0;
}

void TColumnChoiceTable::SetChoice(int Column, int Choice)
{
    if (QComboBox* box = ChoiceBox(Column)) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(Choice);
    }
}

QComboBox* TColumnChoiceTable::ChoiceBox(int Column) const
{
    return qobject_cast<QComboBox*>(cellWidget(0, Column));
}

void TColumnChoiceTable::MarkRow(int Row, TMark Mark, const QString& Why)
{
    QTableWidgetItem* head = verticalHeaderItem(Row + 1);
    if (!head)
        return;
    head->setData(kMarkRole, int(Mark));
    const QString label = head->data(kLabelRole).toString();
    head->setText(label + (Mark == TMark::Note      ? QStringLiteral(" !")
                           : Mark == TMark::Refused ? QStringLiteral(" ×")
                                                    : QString()));
    head->setToolTip(Why);
    const QColor shade = Mark == TMark::Note      ? QColor(255, 243, 205)
                         : Mark == TMark::Refused ? QColor(248, 215, 218)
                                                  : QColor();
    for (int column = 0; column < columnCount(); ++column) {
        QTableWidgetItem* cell = item(Row + 1, column);
        if (!cell) {
            cell = new QTableWidgetItem;
            setItem(Row + 1, column, cell);
        }
        cell->setBackground(shade.isValid() ? QBrush(shade) : QBrush());
        cell->setForeground(shade.isValid() ? QBrush(Qt::black) : QBrush());
        if (!Why.isEmpty() || Mark == TMark::None)
            cell->setToolTip(Mark == TMark::None ? cell->text() : Why);
    }
}

TColumnChoiceTable::TMark TColumnChoiceTable::RowMark(int Row) const
{
    const QTableWidgetItem* head = verticalHeaderItem(Row + 1);
    return head ? TMark(head->data(kMarkRole).toInt()) : TMark::None;
}
