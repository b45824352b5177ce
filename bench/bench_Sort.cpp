// Sorting a list by a text column: the first sort prepares keys, a second reuses them.
#include "BenchMain.h"
#include "Catalogue.h"
#include "ExtListView.h"
#include "Generate.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace {

std::unique_ptr<TdfsExtListView> Loaded(int Records, TAutoSortStyle Style)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dyskar.dat");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Generate::Catalogue(Records));
    f.close();
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    for (int i = 0; i < Catalogue::kFieldCount; ++i)
        list->Columns().Add();
    list->SetAutoColumnSort(acsSortToggle);
    list->SetAutoSortStyle(Style);
    list->SetAutoResort(false);
    list->Loaded();
    Catalogue::Load(path, *list);
    return list;
}

// Fresh rows every iteration: the cost of a first sort.
void BM_FirstSortByName(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    for (auto _ : State) {
        State.PauseTiming();
        auto list = Loaded(int(State.range(0)), TAutoSortStyle(State.range(1)));
        State.ResumeTiming();
        list->SortByColumn(0, true);
        State.PauseTiming();
        list.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSortByName)
    ->Args({100000, assDefault})
    ->Args({1000000, assDefault})
    ->Args({1000000, assSmart})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same rows sorted again, alternating the direction so that every sort moves rows.
void BM_SortAgainByName(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto list = Loaded(int(State.range(0)), assDefault);
    list->SortByColumn(0, true);
    bool ascending = false;
    for (auto _ : State) {
        list->SortByColumn(0, ascending);
        ascending = !ascending;
    }
}
BENCHMARK(BM_SortAgainByName)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

DYSKAR_BENCHMARK_MAIN()
