#include "Locale.h"

#include "Cp1250.h"

#include <QCollator>
#include <QLocale>

#include <unicode/ucol.h>

#include <memory>
#include <optional>

namespace Locale {
namespace {

struct TUCollatorCloser
{
    void operator()(UCollator* C) const { ucol_close(C); }
};

// The case-sensitive comparison talks to ICU itself: its key bytes are what lets a sort
// order most pairs by a prefix; the pick lists use QCollator over the same ICU.
struct TCollators
{
    QLocale Locale;
    std::unique_ptr<UCollator, TUCollatorCloser> CaseSensitive;
    QCollator CaseInsensitive;
    // Made when a long list first needs them: each costs milliseconds, which a short list's
    // comparisons and keys would never win back.
    std::optional<TCollationCut> Cut;
    std::optional<TPrimaryRanks> Ranks;
    int Generation = 0;

    const TCollationCut* CutMade() const { return Cut ? &*Cut : nullptr; }
    const TPrimaryRanks* RanksMade() const { return Ranks && Ranks->Usable() ? &*Ranks : nullptr; }

    void Refresh()
    {
        const QLocale now;
        if (Generation != 0 && now == Locale)
            return;
        Locale = now;
        UErrorCode status = U_ZERO_ERROR;
        const QByteArray name = now.name().toLatin1();
        CaseSensitive.reset(ucol_open(name == "C" ? "" : name.constData(), &status));
        if (U_FAILURE(status) || !CaseSensitive) {
            status = U_ZERO_ERROR;
            CaseSensitive.reset(ucol_open("", &status)); // the root collation
        }
        Cut.reset();
        Ranks.reset();
        CaseInsensitive = QCollator(now);
        CaseInsensitive.setCaseSensitivity(Qt::CaseInsensitive);
        ++Generation;
    }
};

// Windows-1250 bytes as UTF-16 in a buffer that grows as needed and is reused.
const UChar* Wide(std::string_view Text, std::u16string& Buffer)
{
    Buffer.resize(Text.size());
    Cp1250::ToUtf16(Text, Buffer.data());
    return reinterpret_cast<const UChar*>(Buffer.data());
}

TCollators& Collators()
{
    static TCollators collators;
    collators.Refresh();
    return collators;
}

int Sign(int Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

} // namespace

int CompareText(std::string_view Left, std::string_view Right)
{
    static std::u16string left, right;
    // The locale is asked once a comparison: a sort of a short list compares many pairs.
    const TCollators& collators = Collators();
    return CompareTextWith(collators.CaseSensitive.get(), collators.CutMade(),
                           collators.RanksMade(), Left, Right, left, right);
}

int CompareTextWith(const UCollator* Collator, const TCollationCut* Cut, const TPrimaryRanks* Ranks,
                    std::string_view Left, std::string_view Right, std::u16string& LeftRoom,
                    std::u16string& RightRoom)
{
    // What both begin with decides nothing; it is neither converted nor compared.
    const std::size_t same = Cut ? Cut->Shared(Left, Right) : 0;
    Left.remove_prefix(same);
    Right.remove_prefix(same);
    // Texts that differ at the first level stand in its order: a table tells, not ICU.
    if (Ranks)
        if (const int first = Ranks->CompareFirstLevel(Left, Right); first != 0)
            return first;
    const UChar* l = Wide(Left, LeftRoom);
    const UChar* r = Wide(Right, RightRoom);
    switch (ucol_strcoll(Collator, l, static_cast<int32_t>(Left.size()), r,
                         static_cast<int32_t>(Right.size()))) {
    case UCOL_LESS:
        return -1;
    case UCOL_GREATER:
        return 1;
    default:
        return 0;
    }
}

void TextSortKey(std::string_view Text, std::string& Key)
{
    static std::u16string wide;
    TextSortKeyWith(Collators().CaseSensitive.get(), Text, wide, Key);
}

const UCollator* CaseSensitiveCollator()
{
    return Collators().CaseSensitive.get();
}

void PrepareForLongLists()
{
    TCollators& collators = Collators();
    if (collators.Cut)
        return;
    const TCollationSequences sequences = CollationSequencesOf(collators.CaseSensitive.get());
    collators.Cut.emplace(sequences);
    collators.Ranks.emplace(collators.CaseSensitive.get(), sequences);
}

const TCollationCut* CaseSensitiveCut()
{
    return Collators().CutMade();
}

const TPrimaryRanks* CaseSensitivePrimaryRanks()
{
    return Collators().RanksMade();
}

void TextSortKeyWith(const UCollator* Collator, std::string_view Text, std::u16string& Room,
                     std::string& Key)
{
    const UChar* w = Wide(Text, Room);
    // The buffer keeps its room from key to key: one sort asks for a key per row.
    if (Key.size() < Text.size() * 3 + 16)
        Key.resize(Text.size() * 3 + 16);
    for (;;) {
        const int32_t n = ucol_getSortKey(Collator, w, static_cast<int32_t>(Text.size()),
                                          reinterpret_cast<uint8_t*>(Key.data()),
                                          static_cast<int32_t>(Key.size()));
        if (n <= 0) {
            Key.clear();
            return;
        }
        if (static_cast<std::size_t>(n) <= Key.size()) {
            Key.resize(static_cast<std::size_t>(n - 1)); // without the closing zero
            return;
        }
        Key.resize(static_cast<std::size_t>(n));
    }
}

int CollationGeneration()
{
    return Collators().Generation;
}

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

TDateSettings DateSettings()
{
    return DateSettingsOf(QLocale());
}

} // namespace Locale
