#include "paintedstate.h"

#include "common/vectorstate.h"
#include "editor/curve/arc.h"
#include "editor/curve/arcwalks.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The default chord AB bent by both displacements, with the ALFA increments given.
ArcParameters benchArc(double alfa)
{
    ArcParameters arc;
    arc.ASQ = 45;
    arc.ASM = 55;
    arc.SPTX = 100;
    arc.SPTY = 50;
    arc.X9 = 15;
    arc.Y9 = 15;
    arc.AVAX = alfa;
    arc.AVAY = alfa;
    return arc;
}

// Walks the arc at the points increment given, each point handed to a sink that only sums it.
template <typename BeforeEach>
void walkAndCount(benchmark::State &state, const ArcParameters &arc, BeforeEach beforeEach)
{
    ArcFrame frame;
    frame.INST = static_cast<double>(state.range(0));
    std::int64_t points = 0;
    for (auto _ : state) {
        beforeEach();
        double sum = 0;
        points += walkArc(arc, frame, [&sum](double x, double y) { sum += x + y; });
        benchmark::DoNotOptimize(sum);
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(points), benchmark::Counter::kIsRate);
    state.counters["ns/point"] = benchmark::Counter(
        static_cast<double>(points), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The arc computation alone, as the program runs it: after Qt has painted and a Cls.
void BM_walkArc(benchmark::State &state)
{
    paintAndClear();
    walkAndCount(state, benchArc(2), [] {});
}

// The same from a dirty vector state, made on purpose before each walk, with the walk's
// clearing on (1) and off (0). On a CPU with the penalty the two differ many times over, and
// the first must equal BM_walkArc; on one without it all three are equal.
void BM_walkArcDirtied(benchmark::State &state)
{
    upperVectorStateClearing = state.range(1) != 0;
    walkAndCount(state, benchArc(2), [] { dirtyUpperVectorState(); });
    upperVectorStateClearing = true;
}

// One arc at INST 1000 through walkArcs, into its points and dots on a 1920 x 1080 surface, on
// the threads given: one walks it whole, more share it by ranges of angles. The redraw of an
// arrow step walks so, its arc alone.
void BM_walkArcs(benchmark::State &state)
{
    paintAndClear();
    setArcWalkThreads(static_cast<int>(state.range(0)));
    const ArcParameters arcs[] = {benchArc(2)};
    ArcFrame frame;
    frame.INST = 1000;
    DotMapping mapping;
    mapping.perUnitX = 1.92;
    mapping.perUnitY = 1.08 / 0.55;
    mapping.dotWidth = 2;
    mapping.size = {1920, 1080};
    std::vector<ArcPoint> plane[1];
    ArcDots dots[1];
    for (auto _ : state) {
        walkArcs(arcs, frame, mapping, plane, dots);
        benchmark::DoNotOptimize(plane[0].data());
    }
    setArcWalkThreads(0);
    state.counters["points"] = static_cast<double>(plane[0].size());
}

} // namespace

BENCHMARK(BM_walkArcs)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_walkArc)->ArgName("INST")->Arg(5)->Arg(1000);
BENCHMARK(BM_walkArcDirtied)->ArgNames({"INST", "clearing"})->Args({1000, 1})->Args({1000, 0});
