#pragma once

// Large memory pages for the C library's heap, which the library takes only at start.
namespace LargePages {

// Starts the program again, once, with the C library told to ask for large pages, unless it
// was started so (or the setting is the user's own). Returns only when it did not restart.
void RestartWithThem(char** Argv);

} // namespace LargePages
