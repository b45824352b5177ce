// Saves a catalogue the way the program does, for tests that run a save in a process of its
// own (to inject faults into it, or to kill it). "dyskar_savetool DATA SOURCE" reads SOURCE
// and saves it to DATA; with a second source it saves the two in turn until it is killed,
// after printing "ready". "--journal" first: a rewrite in place goes under the rollback
// journal, as in the window. Exit code 0 when the save succeeded; 1, with the reason, when not.
#include "Catalogue.h"
#include "ListView.h"

#include <QApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TSafeFileWriter::TCare care;
    if (argc > 1 && std::string(argv[1]) == "--journal") {
        care.Journal = true;
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: dyskar_savetool DATA SOURCE [SOURCE2]\n");
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    TCustomListView first;
    TCustomListView second;
    Catalogue::Load(QString::fromLocal8Bit(argv[2]), first);
    if (argc < 4) {
        const Catalogue::TSaveResult saved = Catalogue::Save(data, first, care);
        if (!saved.Ok)
            std::fprintf(stderr, "%s\n", qPrintable(saved.Error));
        return saved.Ok ? 0 : 1;
    }
    Catalogue::Load(QString::fromLocal8Bit(argv[3]), second);
    std::printf("ready\n");
    std::fflush(stdout);
    for (bool odd = false;; odd = !odd)
        Catalogue::Save(data, odd ? second : first, care);
}
