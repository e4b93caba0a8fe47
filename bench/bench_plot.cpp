#include "plotpoints.h"

#include "draw/canvas.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>

// One redraw's worth of arc points (the four default arcs at INST 5) plotted as 2 x 2 dots on a
// 1920 x 1080 canvas, first straight into an image, then through the canvas' PSet, then as one
// run, then from the dots' corners as the editor's walk maps them (plotting is then the
// canvas' serial part). All paint exactly the same pixels; the ratios are printed at the end.

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
    const QRgb colour = Canvas::QBColor(4).rgb();
    for (auto _ : state) {
        plotRaw(image, corners, colour);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * corners.size()), benchmark::Counter::kIsRate);
}

// The canvas at the bench size, cleared to white, with the editor's dot width.
Canvas benchCanvas()
{
    Canvas canvas(Qt::white);
    canvas.resize(QSize(surfaceWidth, surfaceHeight));
    canvas.Cls();
    canvas.setScaleWidth(benchScaleWidth);
    canvas.setScaleHeight(benchScaleHeight);
    canvas.setDrawWidth(2);
    return canvas;
}

// The comparison only holds if both paint the same dots.
void checkSameAsRaw(benchmark::State &state, const Canvas &canvas)
{
    QImage expected(surfaceWidth, surfaceHeight, QImage::Format_RGB32);
    expected.fill(Qt::white);
    plotRaw(expected, dotCorners(), Canvas::QBColor(4).rgb());
    if (canvas.image() != expected)
        state.SkipWithError("the canvas painted other pixels than the raw dots");
}

void BM_PSet(benchmark::State &state)
{
    Canvas canvas = benchCanvas();
    const QColor colour = Canvas::QBColor(4);
    const std::vector<QPointF> &points = redrawPoints();
    for (auto _ : state) {
        for (const QPointF &p : points)
            canvas.PSet(p.x(), p.y(), colour);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * points.size()), benchmark::Counter::kIsRate);
    checkSameAsRaw(state, canvas);
}

void BM_plotRun(benchmark::State &state)
{
    Canvas canvas = benchCanvas();
    const QColor colour = Canvas::QBColor(4);
    const std::vector<QPointF> &points = redrawPoints();
    for (auto _ : state) {
        canvas.plotRun(points, colour);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * points.size()), benchmark::Counter::kIsRate);
    checkSameAsRaw(state, canvas);
}

void BM_plotDots(benchmark::State &state)
{
    Canvas canvas = benchCanvas();
    const QColor colour = Canvas::QBColor(4);
    const DotMapping mapping = canvas.dotMapping();
    std::vector<QPoint> corners;
    QRect bounds;
    for (const QPointF &p : redrawPoints()) {
        corners.push_back(mapping.corner(p.x(), p.y()));
        bounds |= QRect(corners.back(), QSize(1, 1));
    }
    // The bounds come with the corners, as the editor's walk hands them over.
    bounds.adjust(0, 0, -1, -1);
    for (auto _ : state) {
        canvas.plotDots(corners, colour, bounds);
        benchmark::ClobberMemory();
    }
    state.counters["dots/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * corners.size()), benchmark::Counter::kIsRate);
    checkSameAsRaw(state, canvas);
}

} // namespace

BENCHMARK(BM_rawDots)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PSet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_plotRun)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_plotDots)->Unit(benchmark::kMicrosecond);
