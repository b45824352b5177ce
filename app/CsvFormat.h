#pragma once

#include "ImportMapping.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <string_view>

// The catalogue as a spreadsheet reads and writes it: CSV out in UTF-8 with a byte-order mark,
// ";" between fields and CR LF after each record, a field quoted exactly when it holds ";",
// '"', CR or LF; and CSV in with ";", "," or TAB, in UTF-8, UTF-16 or Windows-1250.
namespace Csv {

// The header row and one record as lines of the file, CR LF included.
QByteArray HeaderLine();
QByteArray RecordLine(const std::array<std::string_view, 5>& Fields);
// The byte-order mark that tells a spreadsheet the file is UTF-8.
QByteArray ByteOrderMark();

// The largest file taken.
constexpr qint64 kLargest = 100LL * 1024 * 1024;
// Why a file is no CSV to read at all (too large, not text), before it is read whole; empty
// when it may be.
QString Refusal(qint64 Size, const QByteArray& Start);
// The records of a file in the catalogue's own layout, with or without its header row, and the
// lines that cannot be imported.
TReading Read(const QByteArray& Bytes);

} // namespace Csv
