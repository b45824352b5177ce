#include "SortValues.h"

#include "Cp1250.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace SortValues {
namespace {

// Walks a text of Unicode characters; the locale's separators and designators are Unicode.
struct TScanner
{
    QString Text;
    qsizetype Pos = 0;

    bool AtEnd() const { return Pos >= Text.size(); }
    void SkipBlanks()
    {
        while (!AtEnd() && Text[Pos] == QLatin1Char(' '))
            ++Pos;
    }
    bool Char(QChar C)
    {
        SkipBlanks();
        if (!AtEnd() && Text[Pos] == C) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Number(int& Value, int& Digits)
    {
        SkipBlanks();
        Value = 0;
        Digits = 0;
        while (!AtEnd() && Text[Pos] >= QLatin1Char('0') && Text[Pos] <= QLatin1Char('9')) {
            if (Digits >= 9)
                return false; // beyond any date or time field
            Value = Value * 10 + (Text[Pos].unicode() - u'0');
            ++Digits;
            ++Pos;
        }
        return Digits > 0;
    }
    bool Word(const QString& W)
    {
        SkipBlanks();
        if (W.isEmpty() || Text.size() - Pos < W.size())
            return false;
        if (QStringView(Text).mid(Pos, W.size()).compare(W, Qt::CaseInsensitive) == 0) {
            Pos += W.size();
            return true;
        }
        return false;
    }
};

// 0 none, 1 AM, 2 PM
int Designator(TScanner& S, const Locale::TDateSettings& Settings)
{
    if (S.Word(Settings.TimeAMString) || S.Word(QStringLiteral("AM")))
        return 1;
    if (S.Word(Settings.TimePMString) || S.Word(QStringLiteral("PM")))
        return 2;
    return 0;
}

bool ScanDate(TScanner& S, const Locale::TDateSettings& Settings, int CurrentYear, double& Days)
{
    int n[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    if (!S.Number(n[0], digits[0]) || !S.Char(Settings.DateSeparator) || !S.Number(n[1], digits[1]))
        return false;
    int count = 2;
    if (S.Char(Settings.DateSeparator)) {
        if (!S.Number(n[2], digits[2]))
            return false;
        count = 3;
    }
    int y = CurrentYear;
    int m = 0;
    int d = 0;
    if (count == 2) {
        if (Settings.Order == Locale::doDMY) {
            d = n[0];
            m = n[1];
        } else {
            m = n[0];
            d = n[1];
        }
    } else {
        switch (Settings.Order) {
        case Locale::doMDY:
            m = n[0], d = n[1], y = n[2];
            break;
        case Locale::doDMY:
            d = n[0], m = n[1], y = n[2];
            break;
        case Locale::doYMD:
            y = n[0], m = n[1], d = n[2];
            break;
        }
        const int yearDigits = Settings.Order == Locale::doYMD ? digits[0] : digits[2];
        if (y <= 99 && yearDigits <= 2)
            y += CurrentYear / 100 * 100;
    }
    const QDate date(y, m, d);
    if (y < 1 || y > 9999 || !date.isValid())
        return false;
    Days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    return true;
}

bool ScanTime(TScanner& S, const Locale::TDateSettings& Settings, double& Fraction)
{
    int designator = Designator(S, Settings);
    int h = 0;
    int m = 0;
    int s = 0;
    int digits = 0;
    if (!S.Number(h, digits))
        return false;
    if (S.Char(Settings.TimeSeparator)) {
        if (!S.Number(m, digits))
            return false;
        if (S.Char(Settings.TimeSeparator) && !S.Number(s, digits))
            return false;
    }
    if (designator == 0)
        designator = Designator(S, Settings);
    if (m > 59 || s > 59)
        return false;
    if (designator != 0) {
        if (h > 12)
            return false;
        if (h == 12)
            h = 0;
        if (designator == 2)
            h += 12;
    } else if (h > 23) {
        return false;
    }
    Fraction = (h * 3600.0 + m * 60.0 + s) / 86400.0;
    return true;
}

} // namespace

bool LooksLikeDate(std::string_view Text, const Locale::TDateSettings& Settings)
{
    const QString t = Cp1250::ToUnicode(Text);
    const qsizetype first = t.indexOf(Settings.DateSeparator);
    if (first < 0)
        return false;
    return first == t.size() - 1 || t.indexOf(Settings.DateSeparator, first + 1) >= 0;
}

bool LooksLikeTime(std::string_view Text, const Locale::TDateSettings& Settings)
{
    return Cp1250::ToUnicode(Text).contains(Settings.TimeSeparator);
}

bool TryDateTime(std::string_view Text, const Locale::TDateSettings& Settings, int CurrentYear,
                 double& Value)
{
    Value = 0;
    const bool dateLike = LooksLikeDate(Text, Settings);
    const bool timeLike = LooksLikeTime(Text, Settings);
    if (!dateLike && !timeLike)
        return false;
    TScanner s{Cp1250::ToUnicode(Text), 0};
    double days = 0;
    double fraction = 0;
    if (dateLike && !ScanDate(s, Settings, CurrentYear, days))
        return false;
    if (timeLike && !ScanTime(s, Settings, fraction))
        return false;
    s.SkipBlanks();
    if (!s.AtEnd())
        return false;
    Value = days + fraction;
    return true;
}

bool TryNumber(std::string_view Text, long double& Value)
{
    Value = 0;
    if (Text.empty())
        return false;
    std::size_t i = 0;
    while (i < Text.size() && Text[i] == ' ')
        ++i;
    const std::size_t start = i;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
        ++i;
    if (i >= Text.size())
        return false; // a sign, or blanks, with nothing after them
    auto digit = [&](std::size_t k) { return k < Text.size() && Text[k] >= '0' && Text[k] <= '9'; };
    std::size_t mantissaDigits = 0;
    while (digit(i))
        ++i, ++mantissaDigits;
    if (i < Text.size() && Text[i] == '.') {
        ++i;
        while (digit(i))
            ++i, ++mantissaDigits;
    }
    if (i < Text.size() && (Text[i] == 'E' || Text[i] == 'e')) {
        ++i;
        if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    if (i != Text.size())
        return false;
    if (mantissaDigits == 0)
        return true; // '.', 'E5': no digits to give a value
    // from_chars reads "." whatever the process locale says, and takes no '+'.
    std::size_t from = start;
    bool negative = false;
    if (Text[from] == '+' || Text[from] == '-')
        negative = Text[from++] == '-';
    long double v = 0;
    const auto result = std::from_chars(Text.data() + from, Text.data() + i, v);
    const std::string_view number = Text.substr(from, i - from);
    const std::size_t e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    if (result.ec == std::errc::result_out_of_range && tiny)
        v = 0; // underflow reads as zero
    else if (result.ec != std::errc() || result.ptr != Text.data() + i || std::isinf(v))
        return false; // beyond the range of the type
    if (negative)
        v = -v;
    Value = v;
    return true;
}

} // namespace SortValues
