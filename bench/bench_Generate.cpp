// Writes a generated catalogue: bench_Generate RECORDS SHELVES FILE [--as-saved] (the same
// bytes that the benchmarks generate for themselves), for the peer programs to read. With
// --as-saved the records stand in name order, in the user's locale, as the catalogue saves
// them: each addition or edit sorts the master list by name before it is written.
#include "Generate.h"
#include "SavedOrder.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool SaveInNameOrder(const char* Path)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_Generate";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    return SavedOrder::Rewrite(QFile::decodeName(Path));
}

} // namespace

int main(int argc, char** argv)
{
    const bool asSaved = argc == 5 && std::strcmp(argv[4], "--as-saved") == 0;
    if (argc != 4 && !asSaved) {
        std::fprintf(stderr, "usage: bench_Generate RECORDS SHELVES FILE [--as-saved]\n");
        return 2;
    }
    const QByteArray data = Generate::Catalogue(std::atoi(argv[1]), std::atoi(argv[2]));
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out ||
        std::fwrite(data.constData(), 1, std::size_t(data.size()), out) !=
            std::size_t(data.size()) ||
        std::fclose(out) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return asSaved && !SaveInNameOrder(argv[3]) ? 1 : 0;
}
