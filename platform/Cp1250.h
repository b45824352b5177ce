#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Windows-1250 text: every byte maps to one Unicode character and back.
namespace Cp1250 {

QChar ToUnicode(unsigned char Byte);
QString ToUnicode(std::string_view Bytes);

// Empty when the text holds a character that Windows-1250 cannot store.
std::optional<std::string> FromUnicode(const QString& Text);

// Index of the first character that Windows-1250 cannot store, or -1.
qsizetype FirstUnencodable(const QString& Text);

bool CanEncode(QChar Character);

// For literals in our own code: the UTF-8 source text as Windows-1250 bytes.
std::string FromUtf8(std::string_view Utf8);

} // namespace Cp1250
