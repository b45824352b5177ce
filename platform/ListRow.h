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
    // The state image index (check boxes: 1 unchecked, 2 checked); 0 for none.
    Win::UINT StateImage = 1;
};
