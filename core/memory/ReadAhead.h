#pragma once

#include <cstddef>

// Reading ahead: a pass over many rows asks the processor for what it will read a few rows on,
// so that memory answers while the rows before are worked on. After a sort, rows stand in
// memory in no order of their own, and a pass would otherwise wait for memory row by row. The
// structures that hold rows read ahead in their own passes; their users only walk them.
namespace ReadAhead {

// How many rows ahead a pass asks for a row's texts. The row itself, which leads to its texts,
// is asked for twice as far ahead; what hangs off the texts, half as far.
constexpr std::size_t kRows = 16;

// Asks for the memory line at Address; never faults, even for an address that is not mapped.
inline void Ask(const void* Address)
{
    __builtin_prefetch(Address);
}

} // namespace ReadAhead
