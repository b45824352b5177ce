#pragma once

#include <QString>

#include <string_view>

// What a cell or a pick list entry shows of a text: no screen shows more than a few thousand
// characters of one line, and laying out a field of megabytes would stall the window at every
// paint. Only the shown copy is cut; the text itself stays whole.
namespace ShownText {

constexpr qsizetype kLimit = 4096;

// The text, or its first kLimit characters followed by "…".
QString Of(const QString& Text);
QString Of(std::string_view Cp1250Bytes);

} // namespace ShownText
