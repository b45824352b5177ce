#pragma once

#include "LargePages.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// Benchmarks run with a QApplication on the offscreen platform unless told otherwise, with
// the heap set up as the program sets up its own.
#define DYSKAR_BENCHMARK_MAIN()                                                                    \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        LargePages::RestartWithThem(argv);                                                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
