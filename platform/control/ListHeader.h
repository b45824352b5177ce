#pragma once

#include <QHeaderView>

class TListCells;
class TListNotifier;

// The list control's header: items whose format asks for owner drawing are painted by the
// list's owner, told which item is pressed; items with an image show it from the list's
// small image list beside the caption.
class TListHeader final : public QHeaderView
{
    Q_OBJECT
public:
    TListHeader(const TListCells& Cells, TListNotifier& Notifier, QWidget* Parent);

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    // Paints an item that shows an image; false when it has none to show.
    bool PaintWithImage(QPainter* Painter, const QRect& Rect, int LogicalIndex) const;
    // The section whose right divider lies under the position, or -1.
    int DividerAt(const QPoint& Position) const;

    const TListCells& m_Cells;
    TListNotifier& m_Notifier;
    int m_Pressed = -1;
};
