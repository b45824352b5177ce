// What a row costs in memory: the process's resident bytes beyond those it held before the
// catalogue came, per record, after loading the master list, after the shown list is built,
// after the first sort of each column, and after the shown list is built anew. Each figure
// holds what the stages before it left, as a running window does; one run per process.
#include "BenchMain.h"
#include "Catalogue.h"
#include "CatalogueView.h"
#include "ExtListView.h"
#include "Generate.h"
#include "SavedOrder.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <unistd.h>

#include <fstream>
#include <string>

namespace {

double ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    double size = 0;
    double resident = 0;
    statm >> size >> resident;
    return resident * double(sysconf(_SC_PAGESIZE));
}

// The most the process has held resident so far.
double PeakBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) * 1024;
    return 0;
}

void BM_BytesPerRow(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    const int records = int(State.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath("Dyskar.dat");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(Generate::Catalogue(records));
    }
    const double fileBytes = double(QFile(path).size());
    for (auto _ : State) {
        // The lists' widgets, empty, belong to the program, not to its rows.
        auto master = SavedOrder::MasterList();
        auto shown = SavedOrder::MasterList();
        TCatalogueView view(*master, *shown);
        const double before = ResidentBytes();
        auto perRow = [&] { return (ResidentBytes() - before) / records; };
        Catalogue::Load(path, *master);
        State.counters["loaded"] = perRow();
        view.Rebuild(TViewFilter());
        State.counters["view_built"] = perRow();
        for (int column = 0; column < Catalogue::kFieldCount; ++column) {
            shown->SortByColumn(column, true);
            State.counters["sorted_" + std::to_string(column)] = perRow();
        }
        TViewFilter notLent;
        notLent.Lent = false;
        view.Rebuild(notLent);
        view.Rebuild(TViewFilter());
        State.counters["view_rebuilt"] = perRow();
        State.counters["peak"] = (PeakBytes() - before) / records;
    }
    State.counters["file"] = fileBytes / records;
}
// Counters: resident bytes per record after each stage and at the peak so far, beside the
// file's bytes per record.
BENCHMARK(BM_BytesPerRow)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

DYSKAR_BENCHMARK_MAIN()
