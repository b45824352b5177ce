// Printing a list to a PDF page.
#include "BenchMain.h"
#include "ExtListView.h"
#include "Generate.h"
#include "QamLVPrinter.h"

#include <QTemporaryDir>

namespace {

void BM_PrintToPdf(benchmark::State& State)
{
    TdfsExtListView list;
    for (const char* c : {"Nazwa", "Rodzaj", "Ilosc CD", "Polka", "Pozyczone"})
        list.Columns().Add()->SetCaption(c);
    std::mt19937 rng(7);
    for (int i = 0; i < State.range(0); ++i)
        list.Items().Add()->SetTexts(TRowText::FromFields(
            {Generate::Word(rng) + " " + Generate::Word(rng), "Rock", "2", "A1", ""}));
    TQamLVPrinter printer;
    printer.SetDfs(&list);
    printer.SetHeader("Lista CD");
    printer.SetHeaderStyle(fsBold);
    QTemporaryDir dir;
    for (auto _ : State) {
        auto canvas = MakeQtPrinter(dir.filePath("lista.pdf"));
        printer.Print(*canvas);
    }
}
BENCHMARK(BM_PrintToPdf)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

DYSKAR_BENCHMARK_MAIN()
