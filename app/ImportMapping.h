#pragma once

#include "CsvTable.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

// What each column of a CSV file fills in a record, and the records that result: Nazwa may be
// made of two columns joined with " – ", Ilość CD may be read from a medium's description
// ("2xCD"), and a yes/no column that fills Pożyczone says who borrowed nobody.
namespace Csv {

using TRecord = std::array<std::string, 5>; // Windows-1250 bytes, in the catalogue's order

// What a source column fills; the order is the order of the choices offered.
enum class TTarget
{
    Nothing,
    Nazwa,
    NazwaDalej, // the second part of Nazwa, after " – "
    Rodzaj,
    IloscCd,
    IloscCdZNosnika, // the disc count read from a medium's description such as "2xCD"
    Polka,
    Pozyczone,
};
constexpr int kTargets = int(TTarget::Pozyczone) + 1;

// The text of a choice, as the mapping step offers it.
QString TargetCaption(TTarget Target);
// A stable word for a choice, as a remembered mapping keeps it; Nothing for a word unknown.
QString TargetWord(TTarget Target);
TTarget TargetOfWord(const QString& Word);
// The record field a choice fills (0 to 4), or -1.
int FieldOf(TTarget Target);
// The captions of the record's fields, in the catalogue's order.
QString FieldCaption(int Field);

struct TMapping
{
    std::vector<TTarget> Columns; // one for each source column; missing ones fill nothing
    bool HeaderRow = true;        // the first row names the columns and is no record
    bool Strict = false;          // the catalogue's own layout: a sixth field is an error
    bool operator==(const TMapping&) const = default;
    bool MapsAnything() const;
    TTarget Of(int Column) const;
};

// What an import will add, and what it cannot.
struct TReading
{
    std::vector<TRecord> Records;
    std::vector<TProblem> Problems;
    // The lines of records whose Ilość CD is no whole number (kept as the text it is).
    std::vector<int> NotWhole;
};

// The records a table makes under a mapping, with the rows that cannot be records.
TReading Apply(const TTable& Table, const TMapping& Mapping);

// The disc count in a medium's description: the number before "xCD", summed over the parts
// joined with "+", a part that is a plain "CD" counting one; empty when none can be read.
QString DiscCount(QStringView Format);

} // namespace Csv
