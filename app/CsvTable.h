#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

// A CSV file read into rows of fields, before anything is made of them: the text decoded, the
// separator found, quotes undone, and each row's physical line kept so that a problem can be
// named by the line the user sees in an editor.
namespace Csv {

// A line that cannot be imported: the physical line its record starts on, and why.
struct TProblem
{
    int Line = 0;
    QString Reason;
};

// The rows of one file; fields are held end to end in one text, not one string each, so that a
// large export costs about its own size.
class TTable
{
public:
    int Rows() const { return int(m_Lines.size()); }
    // The most fields a row has, not counting the empty ones a spreadsheet pads rows with.
    int Columns() const { return m_Columns; }
    // The physical line a row starts on.
    int Line(int Row) const { return m_Lines[std::size_t(Row)]; }
    // The fields of a row, empty padding included.
    int Fields(int Row) const;
    // A field, or nothing past the row's end.
    QStringView Field(int Row, int Column) const;
    QStringList RowTexts(int Row) const;
    // A quote that was opened and never closed: the rest of the file is no record.
    const std::optional<TProblem>& Unclosed() const { return m_Unclosed; }

    // Room for the fields of a text of this many characters, given at once.
    void Reserve(qsizetype Characters) { m_Text.reserve(Characters); }
    void AddField(const QString& Text);
    void EndRow(int Line);
    void SetUnclosed(TProblem Problem) { m_Unclosed = std::move(Problem); }

private:
    QString m_Text;
    std::vector<qsizetype> m_Ends;      // where each field ends in m_Text
    std::vector<qsizetype> m_Firsts{0}; // each row's first field in m_Ends, and one past the last
    std::vector<int> m_Lines;
    int m_Columns = 0;
    int m_Pending = 0; // fields of the row being read
    std::optional<TProblem> m_Unclosed;
};

// The text of a file's bytes: UTF-16 after its mark or by its zero bytes, UTF-8 after its mark
// or where the whole file is valid UTF-8, Windows-1250 otherwise.
QString Decode(const QByteArray& Bytes);
// True when the start of a file without a mark looks like UTF-16 text: zero bytes on one side
// of every pair only. Sets BigEndian to the side.
bool LooksLikeUtf16(const QByteArray& Start, bool* BigEndian = nullptr);
// The rows of a file's bytes; blank lines are left out.
TTable ReadTable(const QByteArray& Bytes);

} // namespace Csv
