#pragma once

#include "ListMessages.h"

#include <optional>

class TListWindow;

// The list control's style messages: the extended style word, the hover time, the selection
// mark and the item count of a list without row objects. No result when the message is not
// of this family.
namespace ListStyleMessages {

std::optional<Win::LRESULT> Handle(TListWindow& Control, Win::UINT Msg, Win::WPARAM WParam,
                                   Win::LPARAM LParam);

} // namespace ListStyleMessages
