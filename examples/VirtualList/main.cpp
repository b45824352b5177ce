// A list of ten million rows that holds none of them: the list asks its owner for the cells it
// shows, tells it which rows are about to be shown, asks it to find the row the user types,
// and leaves the sorting to it. The status line says how much memory the program holds.
#include "ExtListView.h"
#include "ListControl.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kRows = 10'000'000;

// The owner's rows: row n of the catalogue is "Płyta n", on shelf n % 300. The order is the
// owner's too: ascending or descending by number.
struct TCatalogue
{
    bool Descending = false;
    int NumberAt(int Row) const { return Descending ? kRows - 1 - Row : Row; }
    std::string Cell(int Row, int SubItem) const
    {
        const int number = NumberAt(Row);
        if (SubItem == 0) // the caption; 1 is the first sub-item
            return "P\xb3yta " + std::to_string(number); // Windows-1250 text
        return "A" + std::to_string(number % 300);
    }
};

double HeldMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    TCatalogue catalogue;

    // [make-virtual]
    auto* list = new TdfsExtListView(&window);
    list->BeginLoading();
    list->Columns().Add()->SetCaption("Nazwa");
    list->Columns().Add()->SetCaption("P\xf3\xb3ka");
    list->Columns().Items(0)->SetWidth(220);
    list->SetVirtualMode(true);
    list->OnVMGetItemInfo = [&catalogue](QObject*, int Item, int SubItem, TLVVMMaskItems& Mask,
                                         int&, Win::LPARAM&, int&, int&, int&, std::string& Text) {
        if (Mask.Has(vmiText))
            Text = catalogue.Cell(Item, SubItem);
    };
    list->SetVirtualItemCount(kRows);
    list->Loaded();
    // [make-virtual]

    // [cache-hint]
    // The rows about to be shown: an owner that reads them from a database fetches them now.
    int hinted = 0;
    list->OnVMCacheHint = [&hinted](QObject*, Win::NMLVCACHEHINT& Hint) {
        hinted = Hint.iTo - Hint.iFrom + 1;
    };
    // [cache-hint]

    // [find]
    // Type-to-find: the user typed the start of a name ("Płyta 123"), or just its number; the
    // owner says which row holds it.
    list->OnVMFindItem = [&catalogue](QObject*, Win::NMLVFINDITEM& Find, int& Found) {
        std::string typed = Find.lvfi.psz ? Find.lvfi.psz : "";
        const std::string prefix = "P\xb3yta ";
        if (typed.compare(0, prefix.size(), prefix) == 0)
            typed.erase(0, prefix.size());
        if (typed.empty() || typed[0] < '0' || typed[0] > '9')
            return;
        const int number = std::atoi(typed.c_str());
        if (number < kRows)
            Found = catalogue.Descending ? kRows - 1 - number : number;
    };
    // [find]

    // [owner-sort]
    // A click on the name column: the owner turns its order round and the list repaints.
    list->OnColumnClick = [&catalogue, list](QObject*, TListColumn* Column) {
        if (Column->Index() != 0)
            return;
        catalogue.Descending = !catalogue.Descending;
        list->SetCurrentSortColumn(0);
        list->SetCurrentSortDirection(!catalogue.Descending);
        list->Control().View()->viewport()->update();
    };
    // [owner-sort]

    auto* status = new QLabel(&window);
    layout->addWidget(list);
    layout->addWidget(status);
    const auto showHeld = [status, &hinted] {
        status->setText(QStringLiteral("%1 wierszy, w pami\u0119ci %2 MiB, ostatnio pokazane: %3")
                            .arg(kRows)
                            .arg(HeldMiB(), 0, 'f', 1)
                            .arg(hinted));
    };
    QObject::connect(list->Control().View()->verticalScrollBar(), &QScrollBar::valueChanged,
                     status, showHeld);
    window.resize(480, 600);
    window.show();
    QTimer::singleShot(0, status, showHeld); // once the first screen has been asked for
    std::printf("Dyskar virtual list example: %d rows, %.1f MiB held\n", kRows, HeldMiB());
    std::fflush(stdout);
    return QApplication::exec();
}
