#include "Locale.h"

#include "Cp1250.h"

#include <QCollator>
#include <QLocale>

#include <optional>

namespace Locale {
namespace {

struct TCollators
{
    QLocale Locale;
    QCollator CaseSensitive;
    QCollator CaseInsensitive;
    int Generation = 0;

    void Refresh()
    {
        const QLocale now;
        if (Generation != 0 && now == Locale)
            return;
        Locale = now;
        CaseSensitive = QCollator(now);
        CaseSensitive.setCaseSensitivity(Qt::CaseSensitive);
        CaseInsensitive = QCollator(now);
        CaseInsensitive.setCaseSensitivity(Qt::CaseInsensitive);
        ++Generation;
    }
};

TCollators& Collators()
{
    static TCollators collators;
    collators.Refresh();
    return collators;
}

int Sign(int Value) { return Value < 0 ? -1 : (Value > 0 ? 1 : 0); }

} // namespace

int CompareText(std::string_view Left, std::string_view Right)
{
    return Sign(Collators().CaseSensitive.compare(Cp1250::ToUnicode(Left), Cp1250::ToUnicode(Right)));
}

QCollatorSortKey TextSortKey(std::string_view Text)
{
    return Collators().CaseSensitive.sortKey(Cp1250::ToUnicode(Text));
}

int CollationGeneration() { return Collators().Generation; }

int CompareTextIgnoreCase(const QString& Left, const QString& Right)
{
    return Sign(Collators().CaseInsensitive.compare(Left, Right));
}

QCollatorSortKey SortKeyIgnoreCase(const QString& Text)
{
    return Collators().CaseInsensitive.sortKey(Text);
}

bool SameTextIgnoreCase(const QString& Left, const QString& Right)
{
    return Left.compare(Right, Qt::CaseInsensitive) == 0;
}

TDateSettings DateSettingsOf(const QLocale& Locale)
{
    TDateSettings s;
    const QString date = Locale.dateFormat(QLocale::ShortFormat);
    // The separator is the first character between two date fields.
    int firstField = -1;
    std::optional<QChar> separator;
    QString fields;
    for (qsizetype i = 0; i < date.size(); ++i) {
        const QChar c = date[i];
        if (c == QLatin1Char('\'')) { // quoted literal text
            const qsizetype end = date.indexOf(QLatin1Char('\''), i + 1);
            i = end < 0 ? date.size() : end;
            continue;
        }
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            if (fields.isEmpty() || fields.back() != c)
                fields += c;
            firstField = 1;
        } else if (firstField == 1 && !separator && !c.isSpace()) {
            separator = c;
        }
    }
    if (separator)
        s.DateSeparator = *separator;
    const qsizetype d = fields.indexOf(QLatin1Char('d'));
    const qsizetype m = fields.indexOf(QLatin1Char('M'));
    const qsizetype y = fields.indexOf(QLatin1Char('y'));
    if (y >= 0 && y < m && y < d)
        s.Order = doYMD;
    else if (d >= 0 && m >= 0 && d < m)
        s.Order = doDMY;
    else
        s.Order = doMDY;

    const QString time = Locale.timeFormat(QLocale::ShortFormat);
    for (qsizetype i = 0; i < time.size(); ++i) {
        const QChar c = time[i];
        if (c == QLatin1Char('h') || c == QLatin1Char('H') || c == QLatin1Char('m') ||
            c == QLatin1Char('s') || c.isSpace() || c.isLetter())
            continue;
        s.TimeSeparator = c;
        break;
    }
    if (!Locale.amText().isEmpty())
        s.TimeAMString = Locale.amText();
    if (!Locale.pmText().isEmpty())
        s.TimePMString = Locale.pmText();
    return s;
}

TDateSettings DateSettings() { return DateSettingsOf(QLocale()); }

} // namespace Locale
