#include "ListHeader.h"

#include "ListCells.h"
#include "ListNotifier.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

TListHeader::TListHeader(const TListCells& Cells, TListNotifier& Notifier, QWidget* Parent)
    : QHeaderView(Qt::Horizontal, Parent), m_Cells(Cells), m_Notifier(Notifier)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A column takes the width it is given, however narrow; the style's least width would
    // turn a stored width of 10 into 26.
    setMinimumSectionSize(0);
}

void TListHeader::paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const
{
    if (LogicalIndex >= 0 && LogicalIndex < m_Cells.ColumnCount() &&
        (m_Cells.Column(LogicalIndex).HeaderFormat & Win::HDF_OWNERDRAW)) {
        const bool pressed = m_Pressed == LogicalIndex;
        // The header draws the item's frame, as the platform's does; its inside is the
        // owner's.
        QStyleOptionHeader frame;
        initStyleOption(&frame);
        frame.rect = Rect;
        frame.section = LogicalIndex;
        frame.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_HeaderSection, &frame, Painter, this);
        if (m_Notifier.DrawHeaderItem(Painter, Rect, LogicalIndex, pressed) != 0)
            return;
    }
    if (!PaintWithImage(Painter, Rect, LogicalIndex))
        QHeaderView::paintSection(Painter, Rect, LogicalIndex);
}

bool TListHeader::PaintWithImage(QPainter* Painter, const QRect& Rect, int LogicalIndex) const
{
    if (LogicalIndex < 0 || LogicalIndex >= m_Cells.ColumnCount())
        return false;
    const auto& column = m_Cells.Column(LogicalIndex);
    if (!(column.HeaderFormat & Win::HDF_IMAGE) || (column.HeaderFormat & Win::HDF_OWNERDRAW))
        return false;
    const QImage image = m_Cells.SmallImage(column.Image);
    if (image.isNull())
        return false; // an index beyond the list shows no image
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, LogicalIndex);
    option.rect = Rect;
    if (m_Pressed == LogicalIndex)
        option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_HeaderSection, &option, Painter, this);

    // Image and caption as one block, placed by the item's justification; the caption gives
    // way first.
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
    const QRect inside = Rect.adjusted(margin, 0, -margin, 0);
    const int gap = margin;
    const QFontMetrics metrics = option.fontMetrics;
    const int room = std::max(0, inside.width() - image.width() - gap);
    const QString text = metrics.elidedText(option.text, Qt::ElideRight, room);
    const int textWidth = metrics.horizontalAdvance(text);
    const int block = image.width() + gap + textWidth;
    int left = inside.left();
    switch (column.HeaderFormat & Win::LVCFMT_JUSTIFYMASK) {
    case Win::HDF_RIGHT:
        left = std::max(inside.left(), inside.right() + 1 - block);
        break;
    case Win::HDF_CENTER:
        left = std::max(inside.left(), inside.left() + (inside.width() - block) / 2);
        break;
    default:
        break;
    }
    const bool imageRight = column.HeaderFormat & Win::HDF_BITMAP_ON_RIGHT;
    const int imageX = imageRight ? left + textWidth + gap : left;
    const int textX = imageRight ? left : left + image.width() + gap;
    const int shift = m_Pressed == LogicalIndex ? 1 : 0;
    Painter->save();
    Painter->setClipRect(Rect, Qt::IntersectClip);
    Painter->drawImage(
        QPoint(imageX + shift, Rect.top() + (Rect.height() - image.height()) / 2 + shift), image);
    QStyleOptionHeader label = option;
    label.rect = QRect(textX + shift, Rect.top() + shift, textWidth, Rect.height());
    label.text = text;
    label.icon = QIcon();
    label.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    style()->drawControl(QStyle::CE_HeaderLabel, &label, Painter, this);
    Painter->restore();
    return true;
}

int TListHeader::DividerAt(const QPoint& Position) const
{
    // The style's grip on either side of a boundary between two sections.
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = logicalIndexAt(Position - QPoint(grip, 0));
    const int right = logicalIndexAt(Position + QPoint(grip, 0));
    if (left < 0 || left == right)
        return -1;
    return sectionResizeMode(left) == Interactive ? left : -1;
}

void TListHeader::mousePressEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    const int divider = Event->button() == Qt::LeftButton ? DividerAt(at) : -1;
    // A pressed divider starts tracking its column's width; the item is not pressed then.
    m_Pressed = divider >= 0 ? -1 : logicalIndexAt(at);
    if (divider >= 0)
        m_Notifier.Header(Win::HDN_BEGINTRACKA, divider);
    QHeaderView::mousePressEvent(Event);
    viewport()->update();
}

void TListHeader::mouseReleaseEvent(QMouseEvent* Event)
{
    m_Pressed = -1;
    QHeaderView::mouseReleaseEvent(Event);
    viewport()->update();
}
