#include "editor/arc.h"

#include <benchmark/benchmark.h>

namespace {

// The arc computation alone: the default chord AB bent by both displacements, each point
// handed to a sink that only sums it.
void BM_walkArc(benchmark::State &state)
{
    ArcParameters arc;
    arc.ASQ = 45;
    arc.ASM = 55;
    arc.SPTX = 100;
    arc.SPTY = 50;
    arc.X9 = 15;
    arc.Y9 = 15;
    arc.AVAX = 2;
    arc.AVAY = 2;
    ArcFrame frame;
    frame.INST = static_cast<double>(state.range(0));
    std::int64_t points = 0;
    for (auto _ : state) {
        double sum = 0;
        points += walkArc(arc, frame, [&sum](double x, double y) { sum += x + y; });
        benchmark::DoNotOptimize(sum);
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(points), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_walkArc)->ArgName("INST")->Arg(5)->Arg(1000);
