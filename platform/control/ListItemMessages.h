#pragma once

#include "ListMessages.h"

#include <optional>

class TListWindow;

// The list control's item messages: inserting, reading, changing, deleting, finding and
// sorting rows. No result when the message is not of this family.
namespace ListItemMessages {

std::optional<Win::LRESULT> Handle(TListWindow& Control, Win::UINT Msg, Win::WPARAM WParam,
                                   Win::LPARAM LParam);

} // namespace ListItemMessages
