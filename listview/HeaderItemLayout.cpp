#include "HeaderItemLayout.h"

#include <algorithm>

using namespace Win;

unsigned AlignmentFlag(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

namespace {

TRect Shrunk(TRect R, int By)
{
    return {R.Left + By, R.Top + By, R.Right - By, R.Bottom - By};
}

// Measures the caption in R and places it as its alignment says, inside Rect's edges.
TRect Placed(const THeaderItemInput& In, const TRect& Rect, TRect R, unsigned Flags)
{
    const TRect t = In.Measure(R, Flags | DT_CALCRECT);
    const int tw = t.Right - t.Left;
    if (In.Alignment == taRightJustify) {
        R.Left = R.Right - tw;
    } else if (In.Alignment == taCenter) {
        R.Left = R.Left + ((R.Right - R.Left) - tw) / 2;
        R.Right = R.Left + tw;
    } else {
        R = t;
    }
    R.Left = std::max(R.Left, Rect.Left);
    R.Right = std::min(R.Right, Rect.Right);
    return R;
}

void Offset(TRect& R)
{
    ++R.Left;
    ++R.Right;
    ++R.Top;
    ++R.Bottom;
}

// The room inside an item's frame and what shares it with the caption.
struct TItemRoom
{
    TRect Rect;     // inside the frame
    TRect R;        // the caption's room
    unsigned Flags; // DT_* flags of the caption
    bool Image;
    bool Arrow;
    int ImageWidth;
    int ImageY; // the image's and the arrow's top, from the caption's
    int ArrowY;
};

TItemRoom RoomOf(const THeaderItemInput& In, const TRect& Rect)
{
    TItemRoom room{Rect,
                   Rect,
                   AlignmentFlag(In.Alignment) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                       DT_END_ELLIPSIS,
                   In.Extended && !In.ImageSize.isEmpty(),
                   In.Arrow,
                   In.ImageSize.width(),
                   (Rect.Height() - In.ImageSize.height()) / 2,
                   (Rect.Height() - In.ArrowSize.height()) / 2};
    if (In.Alignment == taLeftJustify)
        room.R.Left += 4;
    else if (In.Alignment == taRightJustify)
        room.R.Right -= 4;
    if (room.Image) {
        if (In.ImageRight)
            room.R.Right -= room.ImageWidth + 4;
        else
            room.R.Left += room.ImageWidth + 4;
    }
    return room;
}

// The sorting level keeps the arrow on the left of a right-justified caption.
void ArrowLeftOfCaption(const THeaderItemInput& In, TItemRoom Room, THeaderItemLayout& Out)
{
    const int arrowRoom = In.ArrowSize.width() + 8;
    TRect r = Room.R;
    if (Room.Arrow) {
        r.Left += arrowRoom;
        r = Placed(In, Room.Rect, r, Room.Flags);
    }
    if (In.Pressed)
        Offset(r);
    Out.Caption = r;
    if (Room.Arrow && r.Left - arrowRoom >= Room.Rect.Left)
        Out.Arrow = QPoint(r.Left - arrowRoom, r.Top + Room.ArrowY);
}

void ArrowRightOfCaption(const THeaderItemInput& In, TItemRoom Room, THeaderItemLayout& Out)
{
    const int arrowRoom = In.ArrowSize.width() + 8;
    TRect r = Room.R;
    r.Right = std::max(r.Left, r.Right - arrowRoom);
    r = Placed(In, Room.Rect, r, Room.Flags);
    if (In.Pressed)
        Offset(r);
    Out.Caption = r;
    if (Room.Image && !In.ImageRight) {
        Out.Image = QPoint(r.Left - Room.ImageWidth - 4, r.Top + Room.ImageY);
    } else if (Room.Image) {
        Out.Image = QPoint(r.Right + 4, r.Top + Room.ImageY);
        r.Right = std::min(r.Right + Room.ImageWidth, Room.Rect.Right);
    }
    if (r.Right + arrowRoom <= Room.Rect.Right)
        Out.Arrow = QPoint(r.Right + 8, r.Top + Room.ArrowY);
}

void WithoutArrow(const THeaderItemInput& In, TItemRoom Room, THeaderItemLayout& Out)
{
    TRect r = Room.R;
    if (In.Pressed)
        Offset(r);
    if (!In.Extended) {
        Out.Caption = r; // drawn straight into R
        return;
    }
    r = Placed(In, Room.Rect, r, Room.Flags);
    Out.Caption = r;
    const int iw = Room.ImageWidth;
    if (Room.Image && !In.ImageRight && r.Left - iw - 4 >= Room.Rect.Left)
        Out.Image = QPoint(r.Left - iw - 4, r.Top + Room.ImageY);
    else if (Room.Image && In.ImageRight && r.Right + iw + 4 <= Room.Rect.Right)
        Out.Image = QPoint(r.Right + 4, r.Top + Room.ImageY);
}

} // namespace

THeaderItemLayout LayOutHeaderItem(const THeaderItemInput& In)
{
    THeaderItemLayout out;
    TRect rect = In.Rect;
    if (!In.Pressed) {
        rect = Shrunk(rect, 2);
        out.Fill = rect;
    } else {
        out.Fill = rect;
        rect = Shrunk(rect, 2);
    }
    if (!In.ValidColumn)
        return out;
    if (In.Pressed) {
        ++rect.Top;
        ++rect.Left;
    }
    const TItemRoom room = RoomOf(In, rect);
    out.CaptionFlags = room.Flags;
    if (!In.Extended && In.Alignment == taRightJustify)
        ArrowLeftOfCaption(In, room, out);
    else if (room.Arrow)
        ArrowRightOfCaption(In, room, out);
    else
        WithoutArrow(In, room, out);
    return out;
}
