#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// Benchmarks run with a QApplication on the offscreen platform unless told otherwise.
#define DYSKAR_BENCHMARK_MAIN()                                                                    \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
