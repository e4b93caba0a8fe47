#include "editor/curve/smoothing.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

BasePoints basePoints(const std::array<double, 10> &xy)
{
    BasePoints points;
    for (std::size_t i = 0; i < 5; ++i) {
        points.X[i] = Variant::real(xy[2 * i]);
        points.Y[i] = Variant::real(xy[2 * i + 1]);
    }
    return points;
}

// "Raccorda tutti i segmenti", or the one segment given, on the default curve: a cusp at D.
void BM_SmoothDefaultCurve(benchmark::State &state)
{
    const BasePoints points = basePoints({15, 15, 60, 70, 140, 20, 188, 40, 150, 90});
    const std::optional<Segment> only =
        state.range(0) < 0 ? std::nullopt : std::optional(segments[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(smoothedTable(points, SegmentTable(), only));
}
BENCHMARK(BM_SmoothDefaultCurve)->Arg(-1)->Arg(2)->Unit(benchmark::kMillisecond);

// All four rows of bent curves at random (the same seeded ones each run): the mean over them,
// the slowest, and how many the solver smoothed.
void BM_SmoothRandomCurves(benchmark::State &state)
{
    struct Case
    {
        BasePoints points;
        SegmentTable table;
    };
    QRandomGenerator random(20261209);
    std::vector<Case> cases(64);
    for (Case &c : cases) {
        std::array<double, 10> xy;
        for (double &value : xy)
            value = random.bounded(200);
        c.points = basePoints(xy);
        for (Segment segment : segments)
            c.table.setRow(segment, {Variant::integer(std::int16_t(random.bounded(-300, 300))),
                                     Variant::integer(std::int16_t(random.bounded(-300, 300))),
                                     Variant::real(random.bounded(1, 4)),
                                     Variant::real(random.bounded(1, 4))});
    }
    double slowest = 0, total = 0;
    int found = 0, runs = 0;
    for (auto _ : state) {
        found = 0;
        for (const Case &c : cases) {
            const auto start = std::chrono::steady_clock::now();
            found += smoothedTable(c.points, c.table).has_value();
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            total += took.count();
            ++runs;
        }
    }
    state.counters["mean ms"] = total / runs;
    state.counters["slowest ms"] = slowest;
    state.counters["smoothed"] = found;
    state.counters["curves"] = double(cases.size());
}
BENCHMARK(BM_SmoothRandomCurves)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
