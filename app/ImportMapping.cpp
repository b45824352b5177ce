#include "ImportMapping.h"

#include "Cp1250.h"

namespace Csv {

namespace {

struct TChoice
{
    const char* Caption;
    const char* Word;
    int Field;
};
// In the order of TTarget.
const std::array<TChoice, kTargets> kChoices = {{
    {"(nic)", "", -1},
    {"Nazwa", "nazwa", 0},
    {"Nazwa – dalszy ciąg", "nazwa-dalej", 0},
    {"Rodzaj", "rodzaj", 1},
    {"Ilość CD", "ilosc-cd", 2},
    {"Ilość CD z opisu (2xCD)", "ilosc-cd-z-nosnika", 2},
    {"Półka", "polka", 3},
    {"Pożyczone", "pozyczone", 4},
}};
const std::array<const char*, 5> kFields = {"Nazwa", "Rodzaj", "Ilość CD", "Półka", "Pożyczone"};

const QString kJoin = QStringLiteral(" – ");

QString Shortened(QStringView Text)
{
    constexpr int kShown = 40;
    QString oneLine = Text.toString();
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    return oneLine.size() > kShown ? oneLine.left(kShown) + QStringLiteral("…") : oneLine;
}

// Why a field cannot go into the data file, or nothing; the bytes it becomes otherwise.
QString FieldProblem(const QString& Text, std::string& Bytes)
{
    const qsizetype bad = Cp1250::FirstUnencodable(Text);
    if (bad >= 0) {
        const bool pair = Text[bad].isHighSurrogate() && bad + 1 < Text.size();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(Text[bad], Text[bad + 1]) : Text[bad].unicode();
        return QStringLiteral("znak „%1” (U+%2) spoza strony kodowej Windows-1250")
            .arg(Text.mid(bad, pair ? 2 : 1),
                 QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
    }
    std::string bytes = *Cp1250::FromUnicode(Text);
    for (const char c : bytes)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\x1a' || c == '\0')
            return QStringLiteral("znak, którego plik katalogu nie może zawierać (tabulator, "
                                  "koniec wiersza, Ctrl-Z lub NUL)");
    Bytes = std::move(bytes);
    return {};
}

// A yes/no flag's meaning, or nothing when the text is no flag.
std::optional<bool> FlagOf(QStringView Text)
{
    static const QStringList yes = {"true", "tak", "yes", "prawda", "1"};
    static const QStringList no = {"false", "nie", "no", "fałsz", "0"};
    const QString word = Text.trimmed().toString().toLower();
    if (yes.contains(word))
        return true;
    if (no.contains(word))
        return false;
    return std::nullopt;
}

// One source of a record field, with how its text is made.
struct TSource
{
    int Column;
    TTarget Target;
    bool Flags = false; // a yes/no column filling Pożyczone
};

class TRecordMaker
{
public:
    TRecordMaker(const TTable& Table, const TMapping& Mapping) : m_Table(Table), m_Mapping(Mapping)
    {
        // Nazwa's first part before its second, then the columns in their order.
        for (const TTarget target :
             {TTarget::Nazwa, TTarget::NazwaDalej, TTarget::Rodzaj, TTarget::IloscCd,
              TTarget::IloscCdZNosnika, TTarget::Polka, TTarget::Pozyczone})
            for (int column = 0; column < int(Mapping.Columns.size()); ++column)
                if (Mapping.Columns[std::size_t(column)] == target)
                    m_Sources[std::size_t(FieldOf(target))].push_back(
                        {column, target, IsFlagColumn(target, column)});
    }

    void Take(int Row, TReading& Reading) const
    {
        TRecord record;
        QString problem = m_Mapping.Strict ? TooManyFields(Row) : QString();
        for (std::size_t k = 0; k < record.size() && problem.isEmpty(); ++k) {
            const QString text = Text(Row, k);
            const QString why = FieldProblem(text, record[k]);
            if (!why.isEmpty())
                problem = QStringLiteral("%1 w polu „%2”: „%3”")
                              .arg(why, FieldCaption(int(k)), Shortened(text));
        }
        if (!problem.isEmpty()) {
            Reading.Problems.push_back({m_Table.Line(Row), problem});
            return;
        }
        // A row that fills no field (its text is all in columns that fill nothing) is no record.
        if (std::all_of(record.begin(), record.end(),
                        [](const std::string& F) { return F.empty(); }))
            return;
        if (!m_Sources[2].empty() && !IsWhole(record[2]))
            Reading.NotWhole.push_back(m_Table.Line(Row));
        Reading.Records.push_back(std::move(record));
    }

private:
    // A yes/no column chosen for Pożyczone from another program's file; the catalogue's own
    // file holds borrowers, whatever their names look like.
    bool IsFlagColumn(TTarget Target, int Column) const
    {
        return Target == TTarget::Pozyczone && !m_Mapping.Strict && AllFlags(Column);
    }
    bool AllFlags(int Column) const
    {
        for (int row = m_Mapping.HeaderRow ? 1 : 0; row < m_Table.Rows(); ++row) {
            const QStringView text = m_Table.Field(row, Column);
            if (!text.trimmed().isEmpty() && !FlagOf(text))
                return false;
        }
        return true;
    }
    QString Text(int Row, std::size_t Field) const
    {
        QString joined;
        for (const TSource& source : m_Sources[Field]) {
            const QStringView text = m_Table.Field(Row, source.Column);
            const QString part = Part(source, text);
            if (!part.isEmpty())
                joined += (joined.isEmpty() ? QString() : kJoin) + part;
        }
        return joined;
    }
    static QString Part(const TSource& Source, QStringView Text)
    {
        if (Source.Target == TTarget::IloscCdZNosnika)
            return DiscCount(Text);
        if (Source.Flags)
            return FlagOf(Text).value_or(false) ? QStringLiteral("tak") : QString();
        return Text.toString();
    }
    QString TooManyFields(int Row) const
    {
        int used = m_Table.Fields(Row);
        while (used > 5 && m_Table.Field(Row, used - 1).isEmpty())
            --used;
        return used > 5 ? QStringLiteral("więcej niż pięć pól: „%1”")
                              .arg(Shortened(m_Table.Field(Row, 5)))
                        : QString();
    }
    static bool IsWhole(const std::string& Text)
    {
        return !Text.empty() &&
               std::all_of(Text.begin(), Text.end(), [](char C) { return C >= '0' && C <= '9'; });
    }

    const TTable& m_Table;
    const TMapping& m_Mapping;
    std::array<std::vector<TSource>, 5> m_Sources;
};

// The discs a word of a medium's description counts: "CD" one, "2xCD" (or "2 × CD") two.
std::optional<int> DiscsIn(QStringView Word)
{
    if (Word.compare(u"CD", Qt::CaseInsensitive) == 0)
        return 1;
    if (!Word.endsWith(u"CD", Qt::CaseInsensitive))
        return std::nullopt;
    QStringView times = Word.chopped(2).trimmed();
    if (!times.endsWith(u'x') && !times.endsWith(u'X') && !times.endsWith(u'×'))
        return std::nullopt;
    const QStringView number = times.chopped(1).trimmed();
    const bool digits = !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar C) {
        return C >= u'0' && C <= u'9';
    });
    bool fits = false;
    const int count = digits ? number.toInt(&fits) : 0;
    return fits ? std::optional<int>(count) : std::nullopt;
}

// A spreadsheet's row of empty cells is no record.
bool IsEmpty(const TTable& Table, int Row)
{
    for (int column = 0; column < Table.Fields(Row); ++column)
        if (!Table.Field(Row, column).isEmpty())
            return false;
    return true;
}

} // namespace

QString TargetCaption(TTarget Target)
{
    return QString::fromUtf8(kChoices[std::size_t(Target)].Caption);
}

QString TargetWord(TTarget Target)
{
    return QString::fromUtf8(kChoices[std::size_t(Target)].Word);
}

TTarget TargetOfWord(const QString& Word)
{
    for (int k = 1; k < kTargets; ++k)
        if (Word == QLatin1String(kChoices[std::size_t(k)].Word))
            return TTarget(k);
    return TTarget::Nothing;
}

int FieldOf(TTarget Target)
{
    return kChoices[std::size_t(Target)].Field;
}

QString FieldCaption(int Field)
{
    return QString::fromUtf8(kFields[std::size_t(Field)]);
}

bool TMapping::MapsAnything() const
{
    return std::any_of(Columns.begin(), Columns.end(),
                       [](TTarget T) { return T != TTarget::Nothing; });
}

TTarget TMapping::Of(int Column) const
{
    return Column >= 0 && Column < int(Columns.size()) ? Columns[std::size_t(Column)]
                                                       : TTarget::Nothing;
}

TReading Apply(const TTable& Table, const TMapping& Mapping)
{
    TReading reading;
    if (!Mapping.MapsAnything())
        return reading;
    const TRecordMaker maker(Table, Mapping);
    for (int row = Mapping.HeaderRow ? 1 : 0; row < Table.Rows(); ++row)
        if (!IsEmpty(Table, row))
            maker.Take(row, reading);
    if (Table.Unclosed())
        reading.Problems.push_back(*Table.Unclosed());
    return reading;
}

QString DiscCount(QStringView Format)
{
    qint64 discs = 0;
    bool read = false;
    for (const QStringView part : Format.split(u'+')) {
        // A part is a medium's name and its descriptions: "2xCD, Album, Remastered".
        for (const QStringView word : part.split(u',')) {
            const std::optional<int> count = DiscsIn(word.trimmed());
            if (count) {
                discs += *count;
                read = true;
                break; // one count to a part
            }
        }
    }
    return read ? QString::number(discs) : QString();
}

} // namespace Csv
