#pragma once

#include "CollationCut.h"
#include "PrimaryRanks.h"

#include <QChar>
#include <QCollatorSortKey>
#include <QString>

#include <string>
#include <string_view>

struct UCollator;

// The user's locale: linguistic comparison of texts and the date and time settings.
// Everything follows QLocale() (the system locale unless a default has been set).
namespace Locale {

// Case-sensitive linguistic comparison of two Windows-1250 texts: -1, 0 or +1.
int CompareText(std::string_view Left, std::string_view Right);
// Collation key bytes into Key, whose room is reused: comparing two keys bytewise orders
// exactly as CompareText does.
void TextSortKey(std::string_view Text, std::string& Key);
// The collation CompareText uses, for a copy that another thread may use.
const UCollator* CaseSensitiveCollator();
// What long lists' many comparisons and keys win back the cost of (milliseconds once per
// locale): how far texts that begin alike may be skipped under that collation, and keys of its
// first level made by a table. Each is null until made, and the ranks where they cannot serve.
void PrepareForLongLists();
const TCollationCut* CaseSensitiveCut();
const TPrimaryRanks* CaseSensitivePrimaryRanks();
// CompareText with a given collation, and its cut and ranks where made; the rooms hold the
// texts as UTF-16 and are reused.
int CompareTextWith(const UCollator* Collator, const TCollationCut* Cut, const TPrimaryRanks* Ranks,
                    std::string_view Left, std::string_view Right, std::u16string& LeftRoom,
                    std::u16string& RightRoom);
// TextSortKey with a given collation; Room holds the text as UTF-16 and is reused.
void TextSortKeyWith(const UCollator* Collator, std::string_view Text, std::u16string& Room,
                     std::string& Key);
// Changes whenever the locale that CompareText uses changes; cached keys of another
// generation must not be compared with new ones.
int CollationGeneration();

// Case-insensitive linguistic comparison of two Unicode texts, for sorted pick lists.
int CompareTextIgnoreCase(const QString& Left, const QString& Right);
QCollatorSortKey SortKeyIgnoreCase(const QString& Text);
// Equal ignoring letter case.
bool SameTextIgnoreCase(const QString& Left, const QString& Right);

enum TDateOrder
{
    doMDY,
    doDMY,
    doYMD
};

struct TDateSettings
{
    QChar DateSeparator = QLatin1Char('/');
    QChar TimeSeparator = QLatin1Char(':');
    TDateOrder Order = doMDY;
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
};

TDateSettings DateSettings();
// Derives the settings from a locale's short date and time formats.
TDateSettings DateSettingsOf(const QLocale& Locale);

} // namespace Locale
