#pragma once

#include "ListMessages.h"
#include "RowText.h"

// One row of the list control: its texts and the item object (Param) it carries.
class TListRow
{
public:
    virtual ~TListRow() = default;
    TRowText Text;
    Win::LPARAM Param = 0;
};
