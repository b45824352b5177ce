#pragma once

#include "Canvas.h"

// Paints the two header sort arrows: an up- and a down-pointing triangle in the button
// colours, as large as the font allows (its "Wy" height less 6, made even). A font too small
// for an arrow leaves both pictures as they were.
namespace SortArrows {

void Paint(TBitmap& Ascending, TBitmap& Descending, const QFont& Font, const QPalette& Palette,
           bool Reverse);

} // namespace SortArrows
