#pragma once

#include "ListMessages.h"

#include <string>

// One column of the report list control as the control keeps it: caption, width, format, the
// sub-item it shows, its header image and its header item's format.
struct TReportColumn
{
    std::string Caption;
    int Width = 50;
    int Format = Win::LVCFMT_LEFT;
    int SubItem = 0;
    int Image = -1;
    int HeaderFormat = Win::HDF_STRING;
};
