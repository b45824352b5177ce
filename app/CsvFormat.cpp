#include "CsvFormat.h"

#include "Cp1250.h"
#include "ImportLayouts.h"

namespace Csv {

namespace {

QByteArray Field(const QString& Text)
{
    QByteArray utf8 = Text.toUtf8();
    if (!utf8.contains(';') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

} // namespace

QByteArray ByteOrderMark()
{
    return QByteArray("\xef\xbb\xbf");
}

QByteArray HeaderLine()
{
    QByteArray line;
    for (int k = 0; k < 5; ++k)
        line += (k ? ";" : "") + FieldCaption(k).toUtf8();
    return line + "\r\n";
}

QByteArray RecordLine(const std::array<std::string_view, 5>& Fields)
{
    QByteArray line;
    for (std::size_t k = 0; k < Fields.size(); ++k)
        line += (k ? ";" : "") + Field(Cp1250::ToUnicode(Fields[k]));
    return line + "\r\n";
}

QString Refusal(qint64 Size, const QByteArray& Start)
{
    if (Size > kLargest)
        return QStringLiteral("plik jest większy niż 100 MB");
    if (Start.startsWith("PK\x03\x04"))
        return QStringLiteral("to nie jest plik tekstowy CSV, lecz archiwum (na przykład "
                              "skoroszyt .xlsx); zapisz go w arkuszu jako CSV");
    const bool utf16 = Start.startsWith("\xff\xfe") || Start.startsWith("\xfe\xff") ||
                       LooksLikeUtf16(Start.left(1024));
    if (!utf16 && Start.left(1024).contains('\0'))
        return QStringLiteral("to nie jest plik tekstowy");
    return {};
}

TReading Read(const QByteArray& Bytes)
{
    const TTable table = ReadTable(Bytes);
    // The header row is optional here.
    TMapping own = OwnLayout();
    own.HeaderRow = table.Rows() > 0 && Recognise(table.RowTexts(0)).Kind == TLayoutKind::Own;
    return Apply(table, own);
}

} // namespace Csv
