// The import from CSV: reading an online collection service's export into rows, and the
// records one choice in the mapping step makes of them (the step applies it anew each time).
#include "BenchMain.h"
#include "CsvTable.h"
#include "ImportLayouts.h"

namespace {

// An export of the given number of records, about 130 bytes each; a quoted note now and then.
QByteArray ServiceExport(int Records)
{
    QByteArray all = "Catalog#,Artist,Title,Label,Format,Rating,Released,release_id,"
                     "CollectionFolder,Date Added,Collection Media Condition,"
                     "Collection Sleeve Condition,Collection Notes\n";
    for (int k = 0; k < Records; ++k) {
        const QByteArray n = QByteArray::number(k);
        all += "CAT " + n + ",Wykonawca " + QByteArray::number(k % 5000) + ",\"Płyta " + n +
               ", wydanie\"," + "Wytwórnia,\"" + QByteArray::number(1 + k % 3) +
               "xCD, Album\",5,1999," + n + ",Półka " + QByteArray::number(k % 300) +
               ",2021-01-05 18:22:40,Mint (M),Near Mint (NM or M-)," +
               (k % 10 == 0 ? "\"Notatka\nw dwóch wierszach\"" : "") + "\n";
    }
    return all;
}

void BM_ReadTable(benchmark::State& State)
{
    const QByteArray bytes = ServiceExport(int(State.range(0)));
    for (auto _ : State) {
        const Csv::TTable table = Csv::ReadTable(bytes);
        benchmark::DoNotOptimize(table.Rows());
    }
    State.SetBytesProcessed(State.iterations() * bytes.size());
    State.counters["MiB"] = double(bytes.size()) / (1024 * 1024);
}
BENCHMARK(BM_ReadTable)->Arg(10000)->Arg(100000)->Arg(700000)->Unit(benchmark::kMillisecond);

void BM_ApplyOneChoice(benchmark::State& State)
{
    const Csv::TTable table = Csv::ReadTable(ServiceExport(int(State.range(0))));
    const Csv::TMapping mapping = Csv::Recognise(table.RowTexts(0)).Proposal;
    for (auto _ : State) {
        const Csv::TReading reading = Csv::Apply(table, mapping);
        benchmark::DoNotOptimize(reading.Records.size());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_ApplyOneChoice)->Arg(10000)->Arg(100000)->Arg(700000)->Unit(benchmark::kMillisecond);

} // namespace

DYSKAR_BENCHMARK_MAIN();
