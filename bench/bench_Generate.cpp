// Writes a generated catalogue: bench_Generate RECORDS SHELVES FILE (the same bytes that the
// benchmarks generate for themselves), for the peer programs to read.
#include "Generate.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_Generate RECORDS SHELVES FILE\n");
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
    return 0;
}
