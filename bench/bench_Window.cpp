// The real main window on a display (run under Xvfb): start-up to the first painted list, a
// click on "Nazwa" (keys known), on "Rodzaj" (first sort by it) and on "Nazwa" again, "Pożyczone"
// unchecked and checked again, and Page Down pressed in the list, each until the list is painted
// again, the CPU an idle window takes, and the process's peak memory. The catalogue comes from DYSKAR_BENCH_FILE; one run per process, so that the peak
// belongs to it alone.
#include "BenchMain.h"
#include "Dodaj.h"
#include "Edytuj.h"
#include "ExtListView.h"
#include "Main.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

namespace {

// Counts the list's paints.
class TPaintCounter final : public QObject
{
public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

// Runs the event loop until the list has been painted once more, for at most Limit ms;
// milliseconds since Start.
double UntilPainted(const TPaintCounter& Counter, int Before, const QElapsedTimer& Start,
                    qint64 Limit = 600000)
{
    while (Counter.Paints == Before && Start.elapsed() < Limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(Start.nsecsElapsed()) / 1e6;
}

double PeakMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

double CpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ClickHeader(TMainForm& Main, TPaintCounter& Counter, int Column)
{
    QHeaderView* header = Main.dfsList1->Control().Header();
    const QPoint where(header->sectionViewportPosition(Column) + 10, header->height() / 2);
    QTest::mouseMove(header->viewport(), where + QPoint(1, 0));
    QCoreApplication::processEvents();
    const int before = Counter.Paints;
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, where);
    return UntilPainted(Counter, before, clock);
}

double ClickBox(QCheckBox& Box, TPaintCounter& Counter)
{
    const QPoint where(8, Box.height() / 2);
    QTest::mouseMove(&Box, where);
    QCoreApplication::processEvents();
    const int before = Counter.Paints;
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(&Box, Qt::LeftButton, {}, where);
    return UntilPainted(Counter, before, clock);
}

// Page Down pressed Presses times in the list, from the top: the median and the slowest press
// (none where the list is too short to page).
std::pair<double, double> PagesDown(TMainForm& Main, TPaintCounter& Counter, int Presses)
{
    QWidget* view = Main.dfsList1->Control().View();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Home);
    QTest::qWait(100);
    std::vector<double> times;
    for (int i = 0; i < Presses; ++i) {
        const int before = Counter.Paints;
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(view, Qt::Key_PageDown);
        const double took = UntilPainted(Counter, before, clock, 2000);
        if (Counter.Paints == before)
            break; // at the last row: nothing moved
        times.push_back(took);
        QTest::qWait(20);
    }
    if (times.empty())
        return {0, 0};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void BM_Window(benchmark::State& State)
{
    const QString file = qEnvironmentVariable("DYSKAR_BENCH_FILE");
    if (file.isEmpty() || !QFile::exists(file)) {
        State.SkipWithError("DYSKAR_BENCH_FILE names no file");
        return;
    }
    for (auto _ : State) {
        TPaintCounter counter;
        QElapsedTimer clock;
        clock.start();
        TMainForm main(file);
        TDodajForm dodaj(main, &main);
        TEdytujForm edytuj(main, &main);
        main.dfsList1->Control().View()->viewport()->installEventFilter(&counter);
        main.show();
        const double startUp = UntilPainted(counter, 0, clock);
        State.SetIterationTime(startUp / 1000);
        QTest::qWait(200);

        // "Nazwa" is sorted at start-up: the first click turns it, the second turns it back.
        const double byName = ClickHeader(main, counter, 0);
        QTest::qWait(100);
        const double byNameAgain = ClickHeader(main, counter, 0);
        QTest::qWait(100);
        const double byKind = ClickHeader(main, counter, 1);
        QTest::qWait(100);
        // Back to "Nazwa": its order was left for "Rodzaj" a moment ago.
        const double backToName = ClickHeader(main, counter, 0);
        QTest::qWait(100);
        // The lent records hidden and shown again: the shown list built anew each time.
        const double lentHidden = ClickBox(*main.Porz, counter);
        QTest::qWait(100);
        const double lentShown = ClickBox(*main.Porz, counter);
        QTest::qWait(100);
        const auto [pageDown, slowestPageDown] = PagesDown(main, counter, 20);

        const double cpuBefore = CpuSeconds();
        QElapsedTimer idle;
        idle.start();
        // The window's own event loop, as the program runs it: no polling of ours adds to it.
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        const double idleShare = (CpuSeconds() - cpuBefore) / (double(idle.elapsed()) / 1000);

        State.counters["startup_ms"] = startUp;
        State.counters["click_name_ms"] = byName;
        State.counters["click_name_again_ms"] = byNameAgain;
        State.counters["click_kind_ms"] = byKind;
        State.counters["click_name_after_kind_ms"] = backToName;
        State.counters["uncheck_lent_ms"] = lentHidden;
        State.counters["check_lent_ms"] = lentShown;
        State.counters["page_down_ms"] = pageDown;
        State.counters["page_down_slowest_ms"] = slowestPageDown;
        State.counters["idle_cpu_pct"] = idleShare * 100;
        State.counters["peak_mib"] = PeakMiB();
        main.Zapisane = true; // nothing to save
    }
}
BENCHMARK(BM_Window)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

DYSKAR_BENCHMARK_MAIN()
