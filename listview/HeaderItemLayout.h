#pragma once

#include "Canvas.h"
#include "ListView.h"

#include <functional>
#include <optional>

// Where the parts of one owner-drawn header item go: computed as data, drawn afterwards, so
// that the layout can be read without a device.
struct THeaderItemLayout
{
    Win::TRect Fill;                   // filled with the header colour
    std::optional<Win::TRect> Caption; // the caption is drawn into it
    unsigned CaptionFlags = 0;         // DT_* flags for the caption
    std::optional<QPoint> Image;       // top-left of the column image
    std::optional<QPoint> Arrow;       // top-left of the sort arrow
};

struct THeaderItemInput
{
    Win::TRect Rect; // the item rectangle
    bool Pressed = false;
    bool ValidColumn = true; // the index names a column
    TAlignment Alignment = taLeftJustify;
    // Which level paints: the extended one places images and keeps the arrow right of the
    // caption in every alignment.
    bool Extended = true;
    QSize ImageSize;         // empty without an image
    bool ImageRight = false; // the image stands right of the caption
    // The sort arrow: an item may have one whose picture is too small to be drawn (a tiny
    // font), and its room is kept all the same.
    bool Arrow = false;
    QSize ArrowSize;
    // Measures the caption into a copy of the rectangle (DT_CALCRECT with these flags).
    std::function<Win::TRect(const Win::TRect&, unsigned)> Measure;
};

THeaderItemLayout LayOutHeaderItem(const THeaderItemInput& In);
// The DT_* flag that draws a text with a column's alignment.
unsigned AlignmentFlag(TAlignment Alignment);
