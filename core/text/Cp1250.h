#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Windows-1250 text: every byte maps to one Unicode character and back.
namespace Cp1250 {

QChar ToUnicode(unsigned char Byte);
QString ToUnicode(std::string_view Bytes);
// The same into a buffer of Bytes.size() code units (collation asks for millions of these).
void ToUtf16(std::string_view Bytes, char16_t* Out);

// Empty when the text holds a character that Windows-1250 cannot store.
std::optional<std::string> FromUnicode(const QString& Text);

// Index of the first character that Windows-1250 cannot store, or -1.
qsizetype FirstUnencodable(const QString& Text);

bool CanEncode(QChar Character);

// The byte that stands for all the bytes whose characters fold to the same one ignoring
// case ('A' and 'a' give one byte, as do 0xA3 'Ł' and 0xB3 'ł'): texts equal ignoring case
// are equal byte by byte after folding.
unsigned char FoldCase(unsigned char Byte);

// Hashing and comparing texts ignoring case, byte by byte, without converting them.
struct TFoldedHash
{
    std::size_t operator()(std::string_view Text) const;
};
struct TFoldedEqual
{
    bool operator()(std::string_view Left, std::string_view Right) const;
};

// For literals in our own code: the UTF-8 source text as Windows-1250 bytes.
std::string FromUtf8(std::string_view Utf8);

} // namespace Cp1250
