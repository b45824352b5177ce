#include "CsvFormat.h"

#include "Cp1250.h"

#include <QStringDecoder>

namespace Csv {

namespace {

const std::array<const char*, 5> kCaptions = {"Nazwa", "Rodzaj", "Ilość CD", "Półka", "Pożyczone"};

QByteArray Field(const QString& Text)
{
    QByteArray utf8 = Text.toUtf8();
    if (!utf8.contains(';') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

// The text of the file: UTF-16 after its mark, UTF-8 (with or without a mark) where the whole
// file is valid UTF-8, Windows-1250 otherwise.
QString Decode(const QByteArray& Bytes)
{
    if (Bytes.startsWith("\xff\xfe") || Bytes.startsWith("\xfe\xff")) {
        auto decoder = QStringDecoder(Bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE
                                                                   : QStringDecoder::Utf16BE);
        return decoder(Bytes.mid(2));
    }
    const QByteArray body = Bytes.startsWith("\xef\xbb\xbf") ? Bytes.mid(3) : Bytes;
    auto utf8 = QStringDecoder(QStringDecoder::Utf8);
    const QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    return Cp1250::ToUnicode(std::string_view(Bytes.constData(), std::size_t(Bytes.size())));
}

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

// Why a field cannot go into the data file, or nothing.
QString FieldProblem(const QString& Text, std::string& Bytes)
{
    const std::optional<std::string> bytes = Cp1250::FromUnicode(Text);
    if (!bytes)
        return QStringLiteral("znak spoza strony kodowej Windows-1250");
    for (const char c : *bytes)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\x1a' || c == '\0')
            return QStringLiteral("znak, którego plik katalogu nie może zawierać (tabulator, "
                                  "koniec wiersza, Ctrl-Z lub NUL)");
    Bytes = *bytes;
    return {};
}

QString Shortened(const QString& Text)
{
    constexpr int kShown = 40;
    QString oneLine = Text;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    return oneLine.size() > kShown ? oneLine.left(kShown) + QStringLiteral("…") : oneLine;
}

bool IsHeader(const std::vector<QString>& Fields)
{
    if (Fields.size() < kCaptions.size())
        return false;
    for (std::size_t k = 0; k < kCaptions.size(); ++k)
        if (Fields[k].trimmed().compare(QString::fromUtf8(kCaptions[k]), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// Reads records field by field in one pass: a quote left open runs to the end of the file and
// is one problem, at the line its record starts on.
class TParser
{
public:
    explicit TParser(QChar Separator) : m_Separator(Separator) {}

    void Feed(const QString& Text)
    {
        for (qsizetype i = 0; i < Text.size(); ++i) {
            const QChar c = Text[i];
            const QChar next = i + 1 < Text.size() ? Text[i + 1] : QChar();
            if (m_Quoted)
                i += Quoted(c, next);
            else
                i += Plain(c, next);
        }
    }
    TReading Take()
    {
        if (m_Quoted)
            m_Reading.Problems.push_back(
                {m_RecordLine, QStringLiteral("cudzysłów otwarty w tym wierszu nie został "
                                              "zamknięty")});
        else if (!m_Field.isEmpty() || !m_Fields.empty())
            EndRecord();
        return std::move(m_Reading);
    }

private:
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
            EndRecord();
            m_RecordLine = ++m_Line;
            return C == u'\r' && Next == u'\n' ? 1 : 0;
        } else {
            m_Field += C;
        }
        return 0;
    }
    void EndField()
    {
        m_Fields.push_back(m_Field);
        m_Field.clear();
        m_WasQuoted = false;
    }
    void EndRecord()
    {
        EndField();
        const bool blank = m_Fields.size() == 1 && m_Fields[0].isEmpty();
        if (!(m_First && IsHeader(m_Fields)) && !blank)
            Take(m_Fields);
        m_First = false;
        m_Fields.clear();
    }
    void Take(std::vector<QString>& Fields)
    {
        // Empty fields after the fifth are a spreadsheet's padding.
        while (Fields.size() > 5 && Fields.back().isEmpty())
            Fields.pop_back();
        TRecord record;
        QString problem;
        if (Fields.size() > 5)
            problem = QStringLiteral("więcej niż pięć pól: „%1”").arg(Shortened(Fields[5]));
        for (std::size_t k = 0; k < Fields.size() && k < 5 && problem.isEmpty(); ++k) {
            const QString why = FieldProblem(Fields[k], record[k]);
            if (!why.isEmpty())
                problem = QStringLiteral("%1 w polu „%2”: „%3”")
                              .arg(why, QString::fromUtf8(kCaptions[k]), Shortened(Fields[k]));
        }
        if (problem.isEmpty())
            m_Reading.Records.push_back(std::move(record));
        else
            m_Reading.Problems.push_back({m_RecordLine, problem});
    }

    const QChar m_Separator;
    TReading m_Reading;
    std::vector<QString> m_Fields;
    QString m_Field;
    bool m_Quoted = false;
    bool m_WasQuoted = false;
    bool m_First = true;
    int m_Line = 1;
    int m_RecordLine = 1;
};

} // namespace

QByteArray ByteOrderMark()
{
    return QByteArray("\xef\xbb\xbf");
}

QByteArray HeaderLine()
{
    QByteArray line;
    for (std::size_t k = 0; k < kCaptions.size(); ++k)
        line += (k ? ";" : "") + QByteArray(kCaptions[k]);
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
    const bool utf16 = Start.startsWith("\xff\xfe") || Start.startsWith("\xfe\xff");
    if (!utf16 && Start.left(1024).contains('\0'))
        return QStringLiteral("to nie jest plik tekstowy");
    return {};
}

TReading Read(const QByteArray& Bytes)
{
    const QString text = Decode(Bytes);
    TParser parser(SeparatorOf(text));
    parser.Feed(text);
    return parser.Take();
}

} // namespace Csv
