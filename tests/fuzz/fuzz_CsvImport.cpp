// Any bytes as a CSV file to import: reading never crashes; every data row becomes a record, a
// refusal or a skipped row that fills no field, and nothing else; no record holds what the data
// file cannot; refusals come in line order; and the records written out as CSV read back the same.
#include "CsvFormat.h"
#include "ImportLayouts.h"
#include "support/FuzzApplication.h"
#include "support/FuzzCheck.h"

#include <cstdint>

namespace {

bool Holdable(const std::string& Field)
{
    return Field.find_first_of(std::string("\t\r\n\x1a\0", 5)) == std::string::npos;
}

void CheckReading(const Csv::TTable& Table, const Csv::TMapping& Mapping)
{
    const Csv::TReading reading = Csv::Apply(Table, Mapping);
    if (!Mapping.MapsAnything()) {
        FUZZ_CHECK(reading.Records.empty() && reading.Problems.empty());
        return;
    }
    const int rows = std::max(0, Table.Rows() - (Mapping.HeaderRow ? 1 : 0));
    const int unclosed = Table.Unclosed() ? 1 : 0;
    FUZZ_CHECK(int(reading.Records.size() + reading.Problems.size()) - unclosed <= rows);
    FUZZ_CHECK(reading.NotWhole.size() <= reading.Records.size());
    for (std::size_t k = 1; k < reading.Problems.size(); ++k)
        FUZZ_CHECK(reading.Problems[k - 1].Line <= reading.Problems[k].Line);
    for (const Csv::TRecord& record : reading.Records)
        for (const std::string& field : record)
            FUZZ_CHECK(Holdable(field));
    // Out as Dyskar writes CSV and back in: the same records.
    QByteArray written = Csv::HeaderLine();
    for (const Csv::TRecord& r : reading.Records)
        written += Csv::RecordLine({r[0], r[1], r[2], r[3], r[4]});
    const Csv::TReading back = Csv::Read(written);
    FUZZ_CHECK(back.Problems.empty());
    FUZZ_CHECK(back.Records == reading.Records);
    for (const Csv::TRecord& r : reading.Records)
        FUZZ_CHECK(!(r[0] + r[1] + r[2] + r[3] + r[4]).empty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    StartFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(Data), qsizetype(Size));
    const Csv::TTable table = Csv::ReadTable(bytes);
    for (int row = 1; row < table.Rows(); ++row)
        FUZZ_CHECK(table.Line(row - 1) < table.Line(row));
    const QStringList header = table.Rows() > 0 ? table.RowTexts(0) : QStringList();
    CheckReading(table, Csv::Recognise(header).Proposal);
    // Every field chosen somewhere, joined Nazwa and the disc count read from a medium.
    Csv::TMapping all;
    for (int k = 1; k < Csv::kTargets; ++k)
        all.Columns.push_back(Csv::TTarget(k));
    all.HeaderRow = false;
    CheckReading(table, all);
    return 0;
}
