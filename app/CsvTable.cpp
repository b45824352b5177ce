#include "CsvTable.h"

#include "Cp1250.h"

#include <QStringDecoder>

namespace Csv {

namespace {

// The separator of the first line: the one of ";", TAB and "," it holds most of outside
// quotes (";" where it holds none).
QChar SeparatorOf(const QString& Text)
{
    int counts[3] = {};
    const QChar candidates[3] = {u';', u'\t', u','};
    bool quoted = false;
    for (const QChar c : Text) {
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        for (int k = 0; k < 3; ++k)
            counts[k] += !quoted && c == candidates[k];
    }
    int best = 0;
    for (int k = 1; k < 3; ++k)
        if (counts[k] > counts[best])
            best = k;
    return candidates[best];
}

// Reads rows field by field in one pass: a quote left open runs to the end of the file and is
// one problem, at the line its record starts on.
class TParser
{
public:
    explicit TParser(QChar Separator) : m_Separator(Separator) {}

    void Feed(const QString& Text)
    {
        const QChar* data = Text.constData();
        m_Table.Reserve(Text.size());
        for (qsizetype i = 0; i < Text.size(); ++i) {
            // Ordinary text goes into the field a run at a time.
            const qsizetype run = RunOfText(data, i, Text.size());
            if (run > 0) {
                m_Field.append(data + i, run);
                i += run - 1;
                continue;
            }
            const QChar c = Text[i];
            const QChar next = i + 1 < Text.size() ? Text[i + 1] : QChar();
            if (m_Quoted)
                i += Quoted(c, next);
            else
                i += Plain(c, next);
        }
    }
    TTable Take()
    {
        if (m_Quoted)
            m_Table.SetUnclosed({m_RowLine, QStringLiteral("cudzysłów otwarty w tym wierszu nie "
                                                           "został zamknięty")});
        else if (!m_Field.isEmpty() || m_Fields > 0)
            EndRow();
        return std::move(m_Table);
    }

private:
    // How many characters from From on are plain text in the state the parser is in.
    qsizetype RunOfText(const QChar* Data, qsizetype From, qsizetype Size) const
    {
        qsizetype end = From;
        if (m_Quoted)
            while (end < Size && Data[end] != u'"' && Data[end] != u'\n')
                ++end;
        else
            while (end < Size && Data[end] != u'"' && Data[end] != m_Separator &&
                   Data[end] != u'\r' && Data[end] != u'\n')
                ++end;
        return end - From;
    }
    // Each gives how many characters more it used.
    int Quoted(QChar C, QChar Next)
    {
        if (C == u'"' && Next == u'"') {
            m_Field += u'"';
            return 1;
        }
        if (C == u'"')
            m_Quoted = false;
        else {
            m_Line += C == u'\n';
            m_Field += C;
        }
        return 0;
    }
    int Plain(QChar C, QChar Next)
    {
        if (C == u'"' && m_Field.isEmpty() && !m_WasQuoted) {
            m_Quoted = m_WasQuoted = true;
        } else if (C == m_Separator) {
            EndField();
        } else if (C == u'\r' || C == u'\n') {
            EndRow();
            m_RowLine = ++m_Line;
            return C == u'\r' && Next == u'\n' ? 1 : 0;
        } else {
            m_Field += C;
        }
        return 0;
    }
    void EndField()
    {
        m_Blank = m_Fields == 0 && m_Field.isEmpty();
        m_Table.AddField(m_Field);
        ++m_Fields;
        m_Field.resize(0); // keeps its room for the next field
        m_WasQuoted = false;
    }
    void EndRow()
    {
        EndField();
        // A line with nothing on it is no record; the table forgets the field it was given.
        m_Table.EndRow(m_Fields == 1 && m_Blank ? 0 : m_RowLine);
        m_Fields = 0;
    }

    const QChar m_Separator;
    TTable m_Table;
    QString m_Field;
    int m_Fields = 0;
    bool m_Blank = false;
    bool m_Quoted = false;
    bool m_WasQuoted = false;
    int m_Line = 1;
    int m_RowLine = 1;
};

} // namespace

int TTable::Fields(int Row) const
{
    return int(m_Firsts[std::size_t(Row) + 1] - m_Firsts[std::size_t(Row)]);
}

QStringView TTable::Field(int Row, int Column) const
{
    if (Column < 0 || Column >= Fields(Row))
        return {};
    const std::size_t k = std::size_t(m_Firsts[std::size_t(Row)] + Column);
    const qsizetype begin = k == 0 ? 0 : m_Ends[k - 1];
    return QStringView(m_Text).mid(begin, m_Ends[k] - begin);
}

QStringList TTable::RowTexts(int Row) const
{
    QStringList texts;
    for (int k = 0; k < Fields(Row); ++k)
        texts << Field(Row, k).toString();
    return texts;
}

void TTable::AddField(const QString& Text)
{
    m_Text.append(Text.constData(), Text.size()); // into the room reserved, never shared
    m_Ends.push_back(m_Text.size());
    ++m_Pending;
}

void TTable::EndRow(int Line)
{
    if (Line == 0) {
        // A blank line: its one empty field is dropped.
        m_Ends.resize(m_Ends.size() - std::size_t(m_Pending));
        m_Text.truncate(m_Ends.empty() ? 0 : m_Ends.back());
        m_Pending = 0;
        return;
    }
    m_Firsts.push_back(qsizetype(m_Ends.size()));
    m_Lines.push_back(Line);
    m_Pending = 0;
    int used = Fields(Rows() - 1);
    while (used > 0 && Field(Rows() - 1, used - 1).isEmpty())
        --used;
    m_Columns = std::max(m_Columns, used);
}

bool LooksLikeUtf16(const QByteArray& Start, bool* BigEndian)
{
    // A few characters are too few to tell text from other bytes.
    constexpr qsizetype kFewest = 8;
    const qsizetype pairs = Start.size() / 2;
    if (pairs < kFewest)
        return false;
    qsizetype zeros[2] = {};
    for (qsizetype i = 0; i < pairs * 2; ++i)
        zeros[i % 2] += Start[i] == '\0';
    // Text in a Latin script has a zero high byte in most of its characters.
    for (int side = 0; side < 2; ++side)
        if (zeros[1 - side] == 0 && zeros[side] * 2 >= pairs) {
            if (BigEndian)
                *BigEndian = side == 0;
            return true;
        }
    return false;
}

QString Decode(const QByteArray& Bytes)
{
    bool bigEndian = false;
    const bool marked = Bytes.startsWith("\xff\xfe") || Bytes.startsWith("\xfe\xff");
    if (marked || LooksLikeUtf16(Bytes.left(1024), &bigEndian)) {
        if (marked)
            bigEndian = Bytes.startsWith("\xfe\xff");
        auto decoder =
            QStringDecoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        return decoder(marked ? Bytes.mid(2) : Bytes);
    }
    const QByteArray body = Bytes.startsWith("\xef\xbb\xbf") ? Bytes.mid(3) : Bytes;
    auto utf8 = QStringDecoder(QStringDecoder::Utf8);
    const QString text = utf8(body);
    // A file marked as UTF-8 is read as such; a byte that breaks it becomes U+FFFD, which
    // names the line it is on as a refusal instead of turning the whole file into other letters.
    if (!utf8.hasError() || body.size() != Bytes.size())
        return text;
    return Cp1250::ToUnicode(std::string_view(Bytes.constData(), std::size_t(Bytes.size())));
}

TTable ReadTable(const QByteArray& Bytes)
{
    const QString text = Decode(Bytes);
    TParser parser(SeparatorOf(text));
    parser.Feed(text);
    return parser.Take();
}

} // namespace Csv
