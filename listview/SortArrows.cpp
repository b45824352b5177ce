#include "SortArrows.h"

namespace SortArrows {

namespace {

// Starts drawing on the picture, filled with the button face.
TCanvas& Blank(TBitmap& Bitmap, int S, const QPalette& Palette)
{
    Bitmap.Begin();
    TCanvas& c = Bitmap.Canvas();
    c.BrushColor = SystemColor(clBtnFace, Palette);
    c.FillRect({0, 0, S, S});
    return c;
}

void PaintDown(TBitmap& Bitmap, int S, const QPalette& Palette)
{
    const int half = S / 2;
    TCanvas& c = Blank(Bitmap, S, Palette);
    c.PenColor = SystemColor(clBtnShadow, Palette);
    c.MoveTo(half, S - 2);
    c.LineTo(S - 1, 0);
    c.SetPixel(S - 1, 0, c.PenColor);
    c.PenColor = SystemColor(clBtnHighlight, Palette);
    c.MoveTo(S - 2, 0);
    c.LineTo(0, 0);
    c.LineTo(half - 1, S - 2);
    c.SetPixel(half - 1, S - 2, c.PenColor);
    Bitmap.End();
}

void PaintUp(TBitmap& Bitmap, int S, const QPalette& Palette)
{
    const int half = S / 2;
    TCanvas& c = Blank(Bitmap, S, Palette);
    c.PenColor = SystemColor(clBtnHighlight, Palette);
    c.MoveTo(0, S - 1);
    c.LineTo(half - 1, 0);
    c.PenColor = SystemColor(clBtnShadow, Palette);
    c.MoveTo(half, 0);
    c.LineTo(S - 1, S - 1);
    c.LineTo(-1, S - 1);
    c.SetPixel(half, 0, SystemColor(clBtnFace, Palette));
    Bitmap.End();
}

} // namespace

void Paint(TBitmap& Ascending, TBitmap& Descending, const QFont& Font, const QPalette& Palette,
           bool Reverse)
{
    Ascending.Canvas().Font = Font;
    int s = Ascending.Canvas().TextHeight("Wy") - 6;
    if (s <= 0)
        return;
    if (s % 2 != 0)
        ++s;
    Ascending.SetSize(s, s);
    Descending.SetSize(s, s);
    PaintDown(Reverse ? Ascending : Descending, s, Palette);
    PaintUp(Reverse ? Descending : Ascending, s, Palette);
}

} // namespace SortArrows
