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
    const unsigned flags =
        AlignmentFlag(In.Alignment) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    out.CaptionFlags = flags;
    TRect r = rect;
    if (In.Alignment == taLeftJustify)
        r.Left += 4;
    else if (In.Alignment == taRightJustify)
        r.Right -= 4;
    const bool image = In.Extended && !In.ImageSize.isEmpty();
    const bool arrow = !In.ArrowSize.isEmpty();
    const int iw = In.ImageSize.width();
    const int imageY = (rect.Height() - In.ImageSize.height()) / 2;
    const int arrowY = (rect.Height() - In.ArrowSize.height()) / 2;
    if (image) {
        if (In.ImageRight)
            r.Right -= iw + 4;
        else
            r.Left += iw + 4;
    }
    if (!In.Extended && In.Alignment == taRightJustify) {
        // The sorting level keeps the arrow on the left of a right-justified caption.
        if (arrow) {
            r.Left += In.ArrowSize.width() + 8;
            r = Placed(In, rect, r, flags);
        }
        if (In.Pressed)
            Offset(r);
        out.Caption = r;
        if (arrow && r.Left - In.ArrowSize.width() - 8 >= rect.Left)
            out.Arrow = QPoint(r.Left - In.ArrowSize.width() - 8, r.Top + arrowY);
        return out;
    }
    if (arrow) {
        r.Right = std::max(r.Left, r.Right - (In.ArrowSize.width() + 8));
        r = Placed(In, rect, r, flags);
        if (In.Pressed)
            Offset(r);
        out.Caption = r;
        if (image && !In.ImageRight) {
            out.Image = QPoint(r.Left - iw - 4, r.Top + imageY);
        } else if (image) {
            out.Image = QPoint(r.Right + 4, r.Top + imageY);
            r.Right = std::min(r.Right + iw, rect.Right);
        }
        if (r.Right + In.ArrowSize.width() + 8 <= rect.Right)
            out.Arrow = QPoint(r.Right + 8, r.Top + arrowY);
        return out;
    }
    if (In.Pressed)
        Offset(r);
    if (!In.Extended) {
        out.Caption = r; // drawn straight into R
        return out;
    }
    r = Placed(In, rect, r, flags);
    out.Caption = r;
    if (image && !In.ImageRight && r.Left - iw - 4 >= rect.Left)
        out.Image = QPoint(r.Left - iw - 4, r.Top + imageY);
    else if (image && In.ImageRight && r.Right + iw + 4 <= rect.Right)
        out.Image = QPoint(r.Right + 4, r.Top + imageY);
    return out;
}
