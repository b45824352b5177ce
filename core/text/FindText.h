#pragma once

#include <string>
#include <string_view>

// Finding a text in the catalogue as a user types it: letters match whatever their case and
// whatever diacritics they carry ("lodz" finds "Łódź", "ZOLW" finds "żółw"). Neither Unicode
// decomposition nor Polish collation takes "ł" to "l", so the Windows-1250 bytes are folded
// through a table of their own.
namespace FindText {

// The byte a Windows-1250 byte is found as: a letter's bare small form.
unsigned char Fold(unsigned char Byte);
// A text folded byte by byte, as a needle to find.
std::string Folded(std::string_view Text);
// Whether Haystack holds Needle (already folded), folding Haystack as it reads.
bool Contains(std::string_view Haystack, std::string_view Needle);

} // namespace FindText
