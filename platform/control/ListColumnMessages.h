#pragma once

#include "ListMessages.h"

#include <optional>

class TListWindow;

// The list control's column messages and its header's item messages: inserting, reading,
// changing and deleting columns, their widths and their display order. No result when the
// message is not of this family.
namespace ListColumnMessages {

std::optional<Win::LRESULT> Handle(TListWindow& Control, Win::UINT Msg, Win::WPARAM WParam,
                                   Win::LPARAM LParam);

} // namespace ListColumnMessages
