#pragma once

#include "ListMessages.h"
#include "ReportColumn.h"

#include <QImage>
#include <QString>

class QPainter;
class QRect;
class TImageList;
class TListRow;

// What the list control's rooms (model, report view, header, cell painter, notifier) may ask of
// the list they belong to: its rows and columns, what a cell shows, the styles that change how
// it is drawn and what input does, and the few changes input makes.
class TListCells
{
public:
    // The rows: a held row, or nothing for an index beyond them or in an owner-data list.
    virtual int RowCount() const = 0;
    virtual const TListRow* Row(int Index) const = 0;
    virtual int ColumnCount() const = 0;
    virtual const TReportColumn& Column(int Index) const = 0;

    // What a cell shows of its text, the image of a row's field (-1 for none), and a picture
    // of the small image list (a null image for none).
    virtual QString CellText(int Row, int Column) const = 0;
    virtual int ImageOf(int Row, int Field) const = 0;
    virtual QImage SmallImage(int Index) const = 0;
    virtual const TImageList* SmallImages() const = 0;

    // The window style word (LVS_*), the extended styles (LVS_EX_*), the hover time and the
    // height of owner-drawn rows (0 when rows are not owner-drawn).
    virtual Win::UINT WindowStyle() const = 0;
    virtual Win::UINT ExtendedStyle() const = 0;
    virtual int HoverTime() const = 0;
    virtual int OwnerDrawnRowHeight() const = 0;

    // What input changes: the selected row (-1 for none), a row's check box, and the painting
    // of an owner-drawn row, which the owner does.
    virtual int SelectedRow() const = 0;
    virtual void SetSelectedRow(int Index) = 0;
    virtual void SetStateImage(int Row, Win::UINT Image) = 0;
    virtual void PaintOwnerDrawnRow(QPainter* Painter, const QRect& Rect, int Row,
                                    bool Focused) = 0;

protected:
    ~TListCells() = default;
};
