// A virtual list against the same rows held as items: opening it with its first screen
// painted, a page-down repaint, and what each shown row costs in the user's answers. Memory
// is reported as the heap the living list holds.
#include "BenchMain.h"
#include "ExtListView.h"
#include "ListControl.h"

#include <QKeyEvent>

#include <malloc.h>

#include <string>

namespace {

// Bytes the program holds on its heap (freed memory that the allocator keeps does not count).
double HeldMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

constexpr int kColumns = 5;

void AddColumns(TdfsExtListView& List)
{
    for (int c = 0; c < kColumns; ++c)
        List.Columns().Add()->SetWidth(80);
}

// A list of Rows rows: virtual, answering each cell from its numbers, or holding them.
std::unique_ptr<TdfsExtListView> MakeList(int Rows, bool Virtual, long* Answers)
{
    auto list = std::make_unique<TdfsExtListView>();
    list->BeginLoading();
    AddColumns(*list);
    list->SetVirtualMode(Virtual);
    if (Virtual) {
        list->OnVMGetItemInfo = [Answers](QObject*, int Item, int SubItem, TLVVMMaskItems&, int&,
                                          Win::LPARAM&, int&, int&, int&, std::string& Text) {
            ++*Answers;
            Text = "Wiersz " + std::to_string(Item) + "/" + std::to_string(SubItem);
        };
        list->SetVirtualItemCount(Rows);
    }
    list->Loaded();
    if (!Virtual) {
        list->Items().BeginUpdate();
        for (int i = 0; i < Rows; ++i) {
            TListItem* item = list->Items().Add();
            item->SetCaption("Wiersz " + std::to_string(i) + "/0");
            for (int s = 1; s < kColumns; ++s)
                item->AddSubItem("Wiersz " + std::to_string(i) + "/" + std::to_string(s));
        }
        list->Items().EndUpdate();
    }
    list->resize(500, 600);
    return list;
}

void ShowAndPaint(TdfsExtListView& List)
{
    List.show();
    QCoreApplication::processEvents(); // the window is exposed
    List.Control().View()->viewport()->repaint();
}

// Opening: the list made, filled (held rows) or counted (virtual), shown and painted.
void BM_OpenAndPaintFirstScreen(benchmark::State& State)
{
    const bool isVirtual = State.range(1) != 0;
    long answers = 0;
    double held = 0;
    for (auto _ : State) {
        const double before = HeldMiB();
        auto list = MakeList(int(State.range(0)), isVirtual, &answers);
        ShowAndPaint(*list);
        State.PauseTiming();
        held = HeldMiB() - before;
        list.reset();
        State.ResumeTiming();
    }
    State.counters["heap_MiB"] = held;
}
BENCHMARK(BM_OpenAndPaintFirstScreen)
    ->ArgNames({"rows", "virtual"})
    ->Args({10'000, 0})
    ->Args({100'000, 0})
    ->Args({1'000'000, 0})
    ->Args({10'000, 1})
    ->Args({1'000'000, 1})
    ->Args({10'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// One page down, repainted.
void BM_PageDownRepaint(benchmark::State& State)
{
    const bool isVirtual = State.range(1) != 0;
    long answers = 0;
    auto list = MakeList(int(State.range(0)), isVirtual, &answers);
    ShowAndPaint(*list);
    QAbstractItemView* view = list->Control().View();
    view->setCurrentIndex(view->model()->index(0, 0));
    long painted = 0;
    for (auto _ : State) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(view, &down);
        const long asked = answers;
        view->viewport()->repaint();
        painted += answers - asked;
        benchmark::DoNotOptimize(painted);
        if (view->currentIndex().row() + 100 >= int(State.range(0)))
            view->setCurrentIndex(view->model()->index(0, 0));
    }
    if (isVirtual)
        State.counters["answers_per_repaint"] = double(painted) / double(State.iterations());
}
BENCHMARK(BM_PageDownRepaint)
    ->ArgNames({"rows", "virtual"})
    ->Args({1'000'000, 0})
    ->Args({10'000'000, 1})
    ->Unit(benchmark::kMicrosecond);

// A column fitted to its contents (a divider double-click): a virtual list measures the rows on
// show and its header, however many rows it has.
void BM_FitColumn(benchmark::State& State)
{
    long answers = 0;
    auto list = MakeList(int(State.range(0)), true, &answers);
    ShowAndPaint(*list);
    long asked = 0;
    for (auto _ : State) {
        const long before = answers;
        list->Control().SendMessage(Win::LVM_SETCOLUMNWIDTH, 1, Win::LVSCW_AUTOSIZE);
        asked += answers - before;
    }
    State.counters["answers_per_fit"] = double(asked) / double(State.iterations());
}
BENCHMARK(BM_FitColumn)
    ->ArgNames({"rows"})
    ->Arg(200'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMicrosecond);

// The user's answer for one cell, as the list asks for it.
void BM_AnswerPerCell(benchmark::State& State)
{
    long answers = 0;
    auto list = MakeList(10'000'000, true, &answers);
    int row = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(list->Control().CellText(row, row % kColumns));
        row = (row + 7919) % 10'000'000;
    }
}
BENCHMARK(BM_AnswerPerCell);

} // namespace

DYSKAR_BENCHMARK_MAIN()
