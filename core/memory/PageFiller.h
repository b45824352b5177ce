#pragma once

#include <cstddef>

// Pages that will be written soon, asked of the system by a thread of its own: the room a long
// list fills next is cleared while the list fills the room it has, not when it first writes
// there. Asking changes no byte of the block.
namespace PageFiller {

// Asks, soon and on another thread, for the pages of Block (Size bytes from PageMap::Map).
void Fill(void* Block, std::size_t Size) noexcept;
// Block is about to be given back: its pages are no longer asked for; returns once no thread
// asks for them.
void Forget(void* Block);
// Returns once every block asked for so far has its pages or was forgotten.
void Settle();

} // namespace PageFiller
