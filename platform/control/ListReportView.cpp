#include "ListReportView.h"

#include "Cp1250.h"
#include "ImageList.h"
#include "ListCells.h"
#include "ListNotifier.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

TListReportView::TListReportView(TListCells& Cells, TListNotifier& Notifier, QWidget* Parent)
    : QTableView(Parent), m_Cells(Cells), m_Notifier(Notifier)
{
    setShowGrid(false);         // grid lines are the cells' own, as the style asks
    setTabKeyNavigation(false); // Tab leaves the list for the window's next control
    setCornerButtonEnabled(false);
    setWordWrap(false);
    verticalHeader()->hide();
    // Without a row header there is no corner to click; its button would lie over row 0.
    for (QAbstractButton* corner : findChildren<QAbstractButton*>())
        corner->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    // Scrolled by whole rows, so that a position is a row number whatever the row count.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_Hover.setSingleShot(true);
    connect(&m_Hover, &QTimer::timeout, this, &TListReportView::HoverTimeOver);
}

void TListReportView::SetHeader(QHeaderView* Header)
{
    m_Header = Header;
    setHorizontalHeader(Header);
    auto relayout = [this] { Relayout(); };
    connect(m_Header, &QHeaderView::sectionResized, this, relayout);
    connect(m_Header, &QHeaderView::sectionMoved, this, relayout);
    connect(m_Header, &QHeaderView::sectionCountChanged, this, relayout);
    connect(m_Header, &QHeaderView::geometriesChanged, this, relayout);
    if (model())
        m_Header->setModel(model());
}

void TListReportView::setModel(QAbstractItemModel* Model)
{
    QTableView::setModel(Model);
    verticalHeader()->setModel(&m_NoRows);
    // Rows added one by one are laid out once, when the events are next processed, or
    // sooner when something needs the layout.
    auto later = [this] { ScheduleLayout(); };
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(Model, signal, this, later);
    connect(Model, &QAbstractItemModel::modelReset, this, later);
    connect(Model, &QAbstractItemModel::layoutChanged, this, later);
    Relayout();
}

void TListReportView::SetFlatScrollBars(bool Flat)
{
    static const QString flat = QStringLiteral(
        "QScrollBar { border: none; background: palette(base); margin: 0; }"
        "QScrollBar:vertical { width: 12px; } QScrollBar:horizontal { height: 12px; }"
        "QScrollBar::handle { background: palette(mid); border: none; }"
        "QScrollBar::handle:vertical { min-height: 16px; }"
        "QScrollBar::handle:horizontal { min-width: 16px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { border: none; background: none;"
        " width: 0; height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }");
    const QString sheet = Flat ? flat : QString();
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        if (bar->styleSheet() != sheet)
            bar->setStyleSheet(sheet);
}

void TListReportView::Relayout()
{
    m_LayoutPending = false;
    MeasureRows();
    updateGeometries();
    viewport()->update();
}

void TListReportView::ScheduleLayout()
{
    if (m_LayoutPending)
        return;
    m_LayoutPending = true;
    QMetaObject::invokeMethod(
        this, [this] { LayOutPending(); }, Qt::QueuedConnection);
}

void TListReportView::LayOutPending()
{
    if (m_LayoutPending) {
        m_LayoutPending = false;
        updateGeometries();
        viewport()->update();
    }
}

void TListReportView::MeasureRows()
{
    const int ownerDrawn = m_Cells.OwnerDrawnRowHeight();
    if (ownerDrawn > 0) {
        m_RowHeight = ownerDrawn;
        return;
    }
    // Every row is as high as a line of text, or as an image where the list shows images.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = QStringLiteral("Wy");
    option.features |= QStyleOptionViewItem::HasDisplay;
    if (const TImageList* images = m_Cells.SmallImages()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = images->Size();
    }
    m_RowHeight = std::max(
        1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
}

int TListReportView::TopRow() const
{
    return verticalScrollBar()->value();
}

int TListReportView::RowsShown() const
{
    return std::max(1, viewport()->height() / m_RowHeight);
}

QRect TListReportView::RowRect(int Row) const
{
    return QRect(0, (Row - TopRow()) * m_RowHeight, viewport()->width(), m_RowHeight);
}

void TListReportView::updateGeometries()
{
    if (m_Header) {
        const int height = m_Header->isHidden() ? 0 : m_Header->sizeHint().height();
        setViewportMargins(0, height, 0, 0);
        const QRect area = viewport()->geometry();
        m_Header->setGeometry(area.left(), area.top() - height, area.width(), height);
        QMetaObject::invokeMethod(m_Header, "updateGeometries");
    }
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(RowsShown());
    vertical->setRange(0, std::max(0, rows - RowsShown()));
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = m_Header ? m_Header->length() : 0;
    horizontal->setSingleStep(20);
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
    if (m_Header)
        m_Header->setOffset(horizontal->value());
    QAbstractItemView::updateGeometries();
}

void TListReportView::scrollContentsBy(int Dx, int Dy)
{
    if (Dx != 0 && m_Header)
        m_Header->setOffset(horizontalScrollBar()->value());
    (void)Dy;
    viewport()->update();
}

QRect TListReportView::visualRect(const QModelIndex& Index) const
{
    if (!Index.isValid() || !m_Header || Index.column() >= m_Header->count())
        return {};
    const QRect row = RowRect(Index.row());
    return QRect(m_Header->sectionViewportPosition(Index.column()), row.top(),
                 m_Header->sectionSize(Index.column()), m_RowHeight);
}

QModelIndex TListReportView::indexAt(const QPoint& Point) const
{
    if (!model() || !m_Header || Point.y() < 0)
        return {};
    const int row = TopRow() + Point.y() / m_RowHeight;
    const int column = m_Header->logicalIndexAt(Point.x());
    if (row >= model()->rowCount(rootIndex()) || column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

int TListReportView::sizeHintForRow(int) const
{
    return m_RowHeight;
}

void TListReportView::scrollTo(const QModelIndex& Index, ScrollHint Hint)
{
    if (!Index.isValid())
        return;
    LayOutPending(); // the scroll range must know the rows just added
    const int row = Index.row();
    const int shown = RowsShown();
    QScrollBar* vertical = verticalScrollBar();
    switch (Hint) {
    case PositionAtTop:
        vertical->setValue(row);
        break;
    case PositionAtBottom:
        vertical->setValue(row - shown + 1);
        break;
    case PositionAtCenter:
        vertical->setValue(row - shown / 2);
        break;
    case EnsureVisible:
        if (row < TopRow())
            vertical->setValue(row);
        else if (row >= TopRow() + shown)
            vertical->setValue(row - shown + 1);
        break;
    }
    if (!m_Header)
        return;
    // The column comes into view too, its left edge first.
    const int left = m_Header->sectionPosition(Index.column());
    const int right = left + m_Header->sectionSize(Index.column());
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value())
        horizontal->setValue(left);
    else if (right > horizontal->value() + viewport()->width())
        horizontal->setValue(std::min(left, right - viewport()->width()));
}

QModelIndex TListReportView::moveCursor(CursorAction Action, Qt::KeyboardModifiers)
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : -1;
    switch (Action) {
    case MoveUp:
    case MovePrevious:
        row = row < 0 ? 0 : row - 1;
        break;
    case MoveDown:
    case MoveNext:
        row = row + 1;
        break;
    case MovePageUp:
        row = row - std::max(1, RowsShown() - 1);
        break;
    case MovePageDown:
        row = (row < 0 ? 0 : row) + std::max(1, RowsShown() - 1);
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight: {
        QScrollBar* horizontal = horizontalScrollBar();
        horizontal->setValue(horizontal->value() +
                             (Action == MoveLeft ? -1 : 1) * horizontal->singleStep());
        return current;
    }
    }
    row = std::clamp(row, 0, rows - 1);
    return model()->index(row, current.isValid() ? current.column() : 0, rootIndex());
}

int TListReportView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int TListReportView::verticalOffset() const
{
    return TopRow() * m_RowHeight;
}

bool TListReportView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void TListReportView::setSelection(const QRect& Rect, QItemSelectionModel::SelectionFlags Command)
{
    if (!model() || !selectionModel())
        return;
    const int rows = model()->rowCount(rootIndex());
    const int columns = model()->columnCount(rootIndex());
    const QRect r = Rect.normalized();
    const int first = std::max(0, TopRow() + std::max(0, r.top()) / m_RowHeight);
    const int last = std::min(rows - 1, TopRow() + std::max(0, r.bottom()) / m_RowHeight);
    if (first > last || columns == 0) {
        selectionModel()->select(QItemSelection(), Command);
        return;
    }
    const QItemSelection selection(model()->index(first, 0, rootIndex()),
                                   model()->index(last, columns - 1, rootIndex()));
    selectionModel()->select(selection, Command);
}

QRegion TListReportView::visualRegionForSelection(const QItemSelection& Selection) const
{
    QRegion region;
    const int top = TopRow();
    const int bottom = top + RowsShown() + 1;
    for (const QItemSelectionRange& range : Selection) {
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last)
            region += RowRect(first).united(RowRect(last));
    }
    return region;
}

void TListReportView::TellShownRows(int First, int Last)
{
    // Rows the owner gives on request are announced before they are asked for.
    if (!(m_Cells.WindowStyle() & Win::LVS_OWNERDATA) || Last < First ||
        (First == m_ShownFirst && Last == m_ShownLast))
        return;
    m_ShownFirst = First;
    m_ShownLast = Last;
    m_Notifier.CacheHint(First, Last);
}

void TListReportView::paintEvent(QPaintEvent* Event)
{
    if (!model() || !m_Header)
        return;
    LayOutPending();
    const int rows = model()->rowCount(rootIndex());
    const QRect area = Event->rect();
    const int first = TopRow() + std::max(0, area.top()) / m_RowHeight;
    const int last = std::min(rows - 1, TopRow() + area.bottom() / m_RowHeight);
    if (first > last)
        return;
    TellShownRows(first, last);
    QPainter painter(viewport());
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus() || viewport()->hasFocus();
    // The columns in sight: past the last column the header names none.
    const int leftmost = std::max(0, m_Header->visualIndexAt(0));
    int rightmost = m_Header->visualIndexAt(viewport()->width() - 1);
    if (rightmost < 0)
        rightmost = m_Header->count() - 1;
    for (int row = first; row <= last; ++row) {
        const QRect line = RowRect(row);
        if (m_Cells.OwnerDrawnRowHeight() > 0) {
            // The owner paints the whole row.
            m_Cells.PaintOwnerDrawnRow(&painter, line, row, focused);
            continue;
        }
        const bool rowSelected =
            selectionModel() && selectionModel()->isRowSelected(row, rootIndex());
        for (int v = leftmost; v <= rightmost && v < m_Header->count(); ++v) {
            const int column = m_Header->logicalIndex(v);
            if (m_Header->isSectionHidden(column))
                continue;
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem option = base;
            option.rect = visualRect(index);
            if (rowSelected)
                option.state |= QStyle::State_Selected;
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
        // One focus frame for the whole row, as the platform draws it.
        if (focused && current.isValid() && current.row() == row) {
            QStyleOptionFocusRect frame;
            frame.initFrom(this);
            frame.rect =
                line.adjusted(0, 0, -1, -1)
                    .intersected(
                        QRect(0, line.top(), m_Header->length() - horizontalOffset(), m_RowHeight));
            frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
            frame.backgroundColor =
                palette().color(rowSelected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
        }
    }
}

void TListReportView::changeEvent(QEvent* Event)
{
    QTableView::changeEvent(Event);
    // The row height goes with the view's font and style (the viewport takes the same font).
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::StyleChange)
        Relayout();
}

void TListReportView::keyboardSearch(const QString& Search)
{
    const QModelIndex current = currentIndex();
    // An owner-data list holds no texts to search: its owner finds the row.
    if (!(m_Cells.WindowStyle() & Win::LVS_OWNERDATA)) {
        // Typing finds a row by its caption, whichever cell was clicked last.
        if (current.isValid() && current.column() != 0)
            selectionModel()->setCurrentIndex(model()->index(current.row(), 0, rootIndex()),
                                              QItemSelectionModel::NoUpdate);
        QTableView::keyboardSearch(Search);
        return;
    }
    // Keys typed in quick succession make one text to find, as in any list.
    if (!m_Typing.isValid() || m_Typing.elapsed() > QApplication::keyboardInputInterval())
        m_Typed.clear();
    m_Typing.start();
    m_Typed += Search;
    const int found = m_Notifier.FindItem(current.isValid() ? current.row() : -1,
                                          Cp1250::FromUnicode(m_Typed).value_or(std::string()));
    if (found >= 0 && found < model()->rowCount(rootIndex()))
        m_Cells.SetSelectedRow(found);
}
