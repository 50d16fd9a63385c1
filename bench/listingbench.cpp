// SPDX-License-Identifier: MIT

// Formatting of list lines: grid abscissae and values of a typical curve.

#include "listing/listline.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void listLines(benchmark::State &state)
{
    std::vector<std::pair<double, double>> samples;
    for (int i = 0; i < 4096; ++i) {
        const double x = 0.01 * i + -2.3;
        samples.emplace_back(x, 84.7 * std::sin(x) + 0.01);
    }
    char buf[kMaxListLineLength];
    std::size_t k = 0;
    for (auto _ : state) {
        const auto &[x, y] = samples[k++ & 4095];
        char *end = writeListLine(buf, x, y);
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void general(benchmark::State &state)
{
    char buf[kMaxGeneralLength];
    std::size_t i = 0;
    for (auto _ : state) {
        char *end = writeGeneral(buf, 0.01 * static_cast<double>(i++ & 65535) + 0.37);
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
}

void picture(benchmark::State &state)
{
    char buf[kMaxPictureLength];
    std::size_t i = 0;
    for (auto _ : state) {
        char *end = writePicture(buf, 1.2345678 * static_cast<double>(i++ & 65535) - 3000);
        benchmark::DoNotOptimize(end);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(listLines);
BENCHMARK(general);
BENCHMARK(picture);
