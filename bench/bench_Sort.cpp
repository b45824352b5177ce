// Sorting a list by a text column: the first sort prepares keys, a second reuses them, a return
// to a column sorted before regroups the rows.
#include "BenchMain.h"
#include "Catalogue.h"
#include "ExtListView.h"
#include "Generate.h"
#include "SavedOrder.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace {

// A generated catalogue loaded into a fresh list; AsSaved loads it as the catalogue saves it,
// in name order.
std::unique_ptr<TdfsExtListView> Loaded(int Records, TAutoSortStyle Style, bool AsSaved = false)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dyskar.dat");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Generate::Catalogue(Records));
    f.close();
    if (AsSaved)
        SavedOrder::Rewrite(path);
    auto list = SavedOrder::MasterList(Style);
    Catalogue::Load(path, *list);
    return list;
}

// Fresh rows every iteration: the cost of a first sort.
void BM_FirstSortByName(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    for (auto _ : State) {
        State.PauseTiming();
        auto list =
            Loaded(int(State.range(0)), TAutoSortStyle(State.range(1)), State.range(2) != 0);
        State.ResumeTiming();
        list->SortByColumn(0, true);
        State.PauseTiming();
        list.reset();
        State.ResumeTiming();
    }
}
// Second argument: the sort style (1 the plain text comparison, 0 the smart one); third: 1
// when the rows come in name order, as from a file the catalogue saved.
BENCHMARK(BM_FirstSortByName)
    ->Args({10000, assDefault, 0})
    ->Args({100000, assDefault, 0})
    ->Args({1000000, assDefault, 0})
    ->Args({1000000, assSmart, 0})
    ->Args({100000, assDefault, 1})
    ->Args({1000000, assDefault, 1})
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
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The first click on "Rodzaj" of a list sorted by name: a column of a few dozen values.
void BM_FirstSortByKind(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    for (auto _ : State) {
        State.PauseTiming();
        auto list = Loaded(int(State.range(0)), assDefault);
        list->SortByColumn(0, true);
        State.ResumeTiming();
        list->SortByColumn(1, true);
        State.PauseTiming();
        list.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSortByKind)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Back to "Nazwa" after a sort by "Rodzaj", in either direction: the keys of the names are
// not kept, their order is.
void BM_ReturnToName(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto list = Loaded(int(State.range(0)), assDefault);
    list->SortByColumn(0, true);
    bool ascending = false;
    for (auto _ : State) {
        State.PauseTiming();
        list->SortByColumn(1, true);
        State.ResumeTiming();
        list->SortByColumn(0, ascending);
        ascending = !ascending;
    }
}
BENCHMARK(BM_ReturnToName)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

// One row's name edited in a list sorted by name, then the list sorted again (as the master
// list is after an edit).
void BM_ResortAfterEdit(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    auto list = Loaded(int(State.range(0)), assDefault);
    list->SortByColumn(0, true);
    int edits = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TListItem* row =
            list->Items().Item(int(std::int64_t(edits) * 7919 % list->Items().Count()));
        std::string name = "Edytowana ";
        name += std::to_string(edits++);
        row->SetTexts(row->Texts().WithField(0, name));
        State.ResumeTiming();
        list->ResortItems();
    }
}
BENCHMARK(BM_ResortAfterEdit)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The first edit after start-up: the master list, loaded from a file as the catalogue saves
// it, has not been sorted yet when one row's name changes and it is sorted by name.
void BM_FirstResortAfterEdit(benchmark::State& State)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    for (auto _ : State) {
        State.PauseTiming();
        auto list = Loaded(int(State.range(0)), assDefault, true);
        TListItem* row = list->Items().Item(list->Items().Count() / 3);
        row->SetTexts(row->Texts().WithField(0, "Edytowana"));
        State.ResumeTiming();
        list->SortByColumn(0, true);
        State.PauseTiming();
        list.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_FirstResortAfterEdit)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

DYSKAR_BENCHMARK_MAIN()
