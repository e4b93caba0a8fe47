#include "plotpoints.h"

#include "draw/surface.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>

// One redraw's worth of arc points (the four default arcs at INST 5) plotted as 2 x 2 dots on a
// 1920 x 1080 picture, first straight into an image, then through the surface's PSet. Both
// paint exactly the same pixels; the ratio of the two is printed at the end.

namespace {

constexpr int surfaceWidth = 1920;
constexpr int surfaceHeight = 1080;

const std::vector<QPointF> &redrawPoints()
{
    static const std::vector<QPointF> points = defaultRedrawPoints(5);
    return points;
}

// The top-left pixel of the 2 x 2 dot PSet paints for each point, with its own rounding.
std::vector<QPoint> dotCorners()
{
    std::vector<QPoint> corners;
    for (const QPointF &p : redrawPoints())
        corners.emplace_back(
            static_cast<int>(std::floor(p.x() * (surfaceWidth / benchScaleWidth) - 0.5)),
            static_cast<int>(std::floor(p.y() * (surfaceHeight / benchScaleHeight) - 0.5)));
    return corners;
}

void plotRaw(QImage &image, const std::vector<QPoint> &corners, QRgb colour)
{
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const QPoint &corner : corners) {
        auto *top = reinterpret_cast<QRgb *>(bits + corner.y() * stride) + corner.x();
        auto *bottom = reinterpret_cast<QRgb *>(bits + (corner.y() + 1) * stride) + corner.x();
        top[0] = top[1] = bottom[0] = bottom[1] = colour;
    }
}

void BM_rawDots(benchmark::State &state)
{
    QImage image(surfaceWidth, surfaceHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::vector<QPoint> corners = dotCorners();
    const QRgb colour = DrawingSurface::QBColor(4).rgb();
    for (auto _ : state) {
        plotRaw(image, corners, colour);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * corners.size()), benchmark::Counter::kIsRate);
}

// PSet on a surface that is shown or not: a hidden widget finds its screen, and so its device
// pixel ratio, by the slower way of its position.
void plotWithPSet(benchmark::State &state, bool shown)
{
    DrawingSurface surface;
    surface.resize(surfaceWidth, surfaceHeight);
    if (shown)
        surface.show();
    surface.setBackgroundColour(Qt::white);
    surface.setScaleWidth(benchScaleWidth);
    surface.setScaleHeight(benchScaleHeight);
    surface.setDrawWidth(2);
    const QColor colour = DrawingSurface::QBColor(4);
    const std::vector<QPointF> &points = redrawPoints();
    for (auto _ : state) {
        for (const QPointF &p : points)
            surface.PSet(p.x(), p.y(), colour);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * points.size()), benchmark::Counter::kIsRate);

    // The comparison only holds if both paint the same dots.
    QImage expected(surfaceWidth, surfaceHeight, QImage::Format_RGB32);
    expected.fill(Qt::white);
    plotRaw(expected, dotCorners(), colour.rgb());
    if (surface.image() != expected)
        state.SkipWithError("PSet painted other pixels than the raw dots");
}

void BM_PSet(benchmark::State &state)
{
    plotWithPSet(state, false);
}

void BM_PSetShown(benchmark::State &state)
{
    plotWithPSet(state, true);
}

} // namespace

BENCHMARK(BM_rawDots)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PSet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PSetShown)->Unit(benchmark::kMicrosecond);
