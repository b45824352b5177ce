// A program of its own with a sorted list in it: it builds, and the list sorts.
#include "ExtListView.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    TdfsExtListView list;
    list.Columns().Add()->SetCaption("Nazwa");
    for (const char* name : {"b", "c", "a"})
        list.Items().Add()->SetCaption(name);
    list.HandleNeeded();
    list.SortByColumn(0, true);
    return list.Items().Item(0)->Caption() == "a" ? 0 : 1;
}
