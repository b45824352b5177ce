// A list that keeps its column widths, column order and sort between runs: drag a column, make
// one wider, click a header, close the window, and the next start shows the list as it was
// left. The settings store's file is printed at start.
#include "ExtListView.h"
#include "Registry.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::printf("Dyskar kept-settings example: the settings live in %s\n",
                qPrintable(TRegistry::DefaultFile()));
    std::fflush(stdout);

    // [kept-settings]
    TdfsExtListView list;
    list.BeginLoading();
    list.SaveSettings().AutoSave = true; // read back at the end of loading, written at the end
    list.SaveSettings().RegistryKey = "Software\\Dyskar\\Examples\\KeptSettings";
    list.SaveSettings().SaveColumnOrder = true;
    list.SaveSettings().SaveColumnSizes = true;
    list.SaveSettings().SaveCurrentSort = true;
    for (const char* caption : {"Nazwa", "Rodzaj", "P\xf3\xb3ka"})
        list.Columns().Add()->SetCaption(caption);
    list.SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
    list.SetAutoColumnSort(acsSortToggle);
    list.SetShowSortArrows(true);
    list.Loaded();
    // [kept-settings]

    const char* rows[][3] = {
        {"Kol\xea" "dy", "Muzyka", "A1"}, {"Atlas", "Program", "B"}, {"Bach", "Klasyka", "A1"}};
    for (const auto& row : rows) {
        TListItem* item = list.Items().Add();
        item->SetCaption(row[0]);
        item->AddSubItem(row[1]);
        item->AddSubItem(row[2]);
    }
    list.ResortItems();
    list.setWindowTitle(QStringLiteral("Dyskar: a list that keeps its settings"));
    list.resize(420, 200);
    list.show();
    return QApplication::exec();
}
