// Loading and saving the data file; the main window's start-up; view and pick-list rebuilds.
#include "BenchMain.h"
#include "Catalogue.h"
#include "Dodaj.h"
#include "Edytuj.h"
#include "ExtListView.h"
#include "CatalogueView.h"
#include "FindText.h"
#include "Generate.h"
#include "KeptVersions.h"
#include "Main.h"
#include "SavedOrder.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A generated catalogue; AsSaved puts it in name order, as the catalogue saves it.
QString WriteFile(const QTemporaryDir& Dir, int Records, int Shelves = 300, bool AsSaved = false)
{
    const QString path = Dir.filePath("Dyskar.dat");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(Generate::Catalogue(Records, Shelves));
    f.close();
    if (AsSaved)
        SavedOrder::Rewrite(path);
    return path;
}

// Arguments: records, shelves.
void BM_Load(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)), int(State.range(1)));
    for (auto _ : State) {
        auto master = std::make_unique<TdfsExtListView>();
        Catalogue::Load(path, *master);
        benchmark::DoNotOptimize(master->Items().Count());
        State.PauseTiming(); // tearing the list down is not loading
        master.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Load)
    ->Args({10000, 300})
    ->Args({100000, 300})
    ->Args({1000000, 300})
    ->Args({100000, 100000})
    ->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)));
    TdfsExtListView master;
    Catalogue::Load(path, master);
    for (auto _ : State) {
        if (!Catalogue::Save(dir.filePath("out.dat"), master).Ok)
            State.SkipWithError("save failed");
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_Save)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The first save of a run, which keeps the version it replaces by a hard link to the old file
// (argument 1), beside the same save without (0): keeping it must cost no time worth the name.
void BM_SaveKeepingVersion(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)));
    TdfsExtListView master;
    Catalogue::Load(path, master);
    const bool keep = State.range(1) != 0;
    for (auto _ : State) {
        // One version a run: the kept ones of earlier iterations go first, untimed.
        State.PauseTiming();
        QDir(dir.filePath("kopie")).removeRecursively();
        State.ResumeTiming();
        TSafeFileWriter::TCare care;
        if (keep)
            care.BeforeChange = [&](bool InPlace) {
                TKeptVersions(path, dir.filePath("kopie")).Keep(!InPlace);
            };
        if (!Catalogue::Save(path, master, care).Ok)
            State.SkipWithError("save failed");
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_SaveKeepingVersion)
    ->ArgNames({"records", "kept"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

// A save after an edit, with the master list in name order (as after a sort by name).
void BM_SaveAfterEdit(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)), 300, State.range(1) != 0);
    TMainForm main(path);
    main.AllList->SortByColumn(0, true);
    for (auto _ : State) {
        State.PauseTiming();
        TListItem* row = main.AllList->Items().Item(main.AllList->Items().Count() / 2);
        row->SetTexts(row->Texts().WithField(2, std::to_string(State.iterations() % 5 + 1)));
        State.ResumeTiming();
        main.ZapiszClick(main.Zapisz);
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
// Second argument: 1 when the file comes in name order, as the catalogue saves it; else the
// master's rows stand in memory in no order of their own once it is sorted.
BENCHMARK(BM_SaveAfterEdit)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

// FormCreate: load, pick lists, view, first sort by name.
void BM_StartUp(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)));
    for (auto _ : State) {
        TMainForm main(path);
        benchmark::DoNotOptimize(main.dfsList1->Items().Count());
    }
}
BENCHMARK(BM_StartUp)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Every record on its own shelf: the shelf pick list gets 100 000 entries. The lists are
// refreshed after an edit, as the program does: the second argument 0 for an edit of a name
// (the values stay), 1 for a row moved to a new shelf (one value comes, one goes), 2 for an
// edit of a name where every kind is also spelt with a small first letter in a few rows (the
// offered spelling is that of each kind's first row, which a re-sort may change).
void BM_RefreshPickLists(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)), int(State.range(0)));
    TMainForm main(path);
    TListItems& master = main.AllList->Items();
    if (State.range(1) == 2) {
        for (int i = 0; i < master.Count(); i += 97) {
            std::string kind(master.Item(i)->SubItem(0));
            if (!kind.empty() && kind[0] >= 'A' && kind[0] <= 'Z')
                kind[0] = char(kind[0] - 'A' + 'a');
            master.Item(i)->SetSubItem(0, kind);
        }
        main.OdswierzComboBoxy(nullptr);
    }
    int edits = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TListItem* row = master.Item(int(std::int64_t(edits) * 7919 % master.Count()));
        const std::string mark = std::to_string(++edits);
        row->SetTexts(State.range(1) == 1
                          ? row->Texts().WithField(3, std::string("N").append(mark))
                          : row->Texts().WithField(0, std::string("A").append(mark)));
        main.AllList->ResortItems();
        State.ResumeTiming();
        main.OdswierzComboBoxy(nullptr);
    }
}
BENCHMARK(BM_RefreshPickLists)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    // A refresh may take microseconds while the edit and re-sort around it, untimed, take
    // milliseconds: a fixed count keeps the run short.
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

// "Pożyczone" unchecked and checked again: the view rebuilt from the master list.
void BM_RebuildView(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)));
    TMainForm main(path);
    for (auto _ : State) {
        main.Porz->setChecked(!main.Porz->isChecked());
        main.Wyswietl(main.Porz);
    }
}
BENCHMARK(BM_RebuildView)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Find as you type: the first character typed (every row of the master list read, the rows
// that hold it shown and put in the shown order), and one character more (only the shown rows
// read). Arguments: records, and 0 for the first character or 1 for one more.
void BM_FindTyping(benchmark::State& State)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, int(State.range(0)));
    TMainForm main(path);
    main.dfsList1->SortByColumn(0, true);
    const bool further = State.range(1) != 0;
    TCatalogueView view(*main.AllList, *main.dfsList1);
    TViewFilter first;
    first.Find = FindText::Folded("a");
    TViewFilter second = first;
    second.Find = FindText::Folded("ab");
    for (auto _ : State) {
        if (further) {
            State.PauseTiming();
            view.Rebuild(first);
            State.ResumeTiming();
            view.Narrow(second);
        } else {
            view.Rebuild(first);
            main.dfsList1->ResortItems();
        }
        benchmark::DoNotOptimize(main.dfsList1->Items().Count());
    }
    State.counters["shown"] = main.dfsList1->Items().Count();
}
BENCHMARK(BM_FindTyping)
    ->ArgNames({"records", "further"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

DYSKAR_BENCHMARK_MAIN()
