#include "paintedstate.h"

#include "app/windows.h"
#include "calibration/form2.h"
#include "common/angles.h"
#include "common/vectorstate.h"
#include "editor/form4.h"
#include "formats/dxf.h"
#include "formats/pages.h"
#include "formats/pdf.h"
#include "points/form3.h"

#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// The editor's whole redraw as "ESEGUI" runs it: clear, axes, chords, four arcs and the readout
// grid, timed from entry into the click handler until it returns, in wall-clock time (the arcs
// are walked on every core). At 1920 x 1080 and at 796 x 796, the size of the maximised window
// on the offscreen platform; at the default points increment and at the largest one the editor
// accepts. The editor is not shown. Each redraw starts with the editor's Cls, in a process where
// Qt has painted. Beside them, what the redraw at INST 1000 is held against: one thread walking
// the same arcs and storing their dots into an image, from a clean vector state.

namespace {

// One segment bent, as in use; or, with alfa set, every segment bent with that ALFA increment
// both ways, which costs the walk two more sines a point.
Form4 *preparedEditor(const char *pointsIncrement, QSize size, const char *alfa)
{
    app::form3()->Command3_Click(); // the default base points, all valid: no message
    Form4 *editor = app::form4();
    editor->resize(size);
    editor->findChild<QLineEdit *>("Text9")->setText(QString::fromLatin1(pointsIncrement));
    if (alfa) {
        for (const char *box : {"Text10", "Text11"})
            editor->findChild<QLineEdit *>(box)->setText(QString::fromLatin1(alfa));
        for (const char *option : {"Option1", "Option2", "Option3", "Option4"}) {
            editor->findChild<QRadioButton *>(option)->setChecked(true);
            editor->Command1_Click();
        }
    }
    editor->findChild<QRadioButton *>("Option2")->setChecked(true);
    editor->findChild<QScrollBar *>("HScroll2")->setValue(120);
    return editor;
}

void BM_editorRedraw(benchmark::State &state, const char *pointsIncrement, QSize size,
                     const char *alfa = nullptr)
{
    paintAndClear();
    Form4 *editor = preparedEditor(pointsIncrement, size, alfa);
    for (auto _ : state)
        editor->Command1_Click();
    app::destroyWindows();
}

// The same with the vector state dirtied on purpose before each redraw, with the walks'
// clearing on or off: on a CPU with the penalty, off is many times slower; on, it must equal
// BM_editorRedraw.
void BM_editorRedrawDirtied(benchmark::State &state, const char *pointsIncrement, QSize size,
                            bool clearing)
{
    Form4 *editor = preparedEditor(pointsIncrement, size, nullptr);
    upperVectorStateClearing = clearing;
    for (auto _ : state) {
        dirtyUpperVectorState();
        editor->Command1_Click();
    }
    upperVectorStateClearing = true;
    app::destroyWindows();
}

// The 2 x 2 dot at the corner, clipped to the image pixel by pixel.
void storeDot(uchar *bits, qsizetype stride, QSize size, QPoint corner, QRgb colour)
{
    for (int row = std::max(corner.y(), 0); row < std::min(corner.y() + 2, size.height()); ++row) {
        auto *line = reinterpret_cast<QRgb *>(bits + row * stride);
        for (int column = std::max(corner.x(), 0); column < std::min(corner.x() + 2, size.width());
             ++column)
            line[column] = colour;
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The redraw at INST 1000 against its floor: the arcs of the editor's redraw walked again, one
// after the other on this thread, from a clean vector state, with their dots stored into an
// image of the editor's size and nothing else (no clearing, axes, chords or readout). The two
// alternate, so that a change in the machine's load falls on both; the time is the redraw's,
// and "ratio" the median of each redraw over the floor loop that followed it.
void BM_redrawOverFloor(benchmark::State &state, QSize size)
{
    Form4 *editor = preparedEditor("1000", size, nullptr);
    editor->Command1_Click();
    const Curve &curve = *editor->curve();
    const ArcFrame frame{degreesToRadians, float(curve.origin.x()), float(curve.origin.y()),
                         curve.INST};
    std::array<ArcParameters, 4> arcs;
    for (Segment segment : segments) {
        const auto index = static_cast<std::size_t>(segment);
        arcs[index] = segmentArc(curve.points, segment, curve.rows[index]);
    }
    std::size_t redrawn = 0;
    for (const std::vector<ArcPoint> &arc : curve.arcs)
        redrawn += arc.size();
    const DotMapping mapping = editor->dotMapping();
    QImage image(editor->canvas().size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRgb colour = Canvas::QBColor(4).rgb();
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    using Clock = std::chrono::steady_clock;
    std::vector<double> floors;
    std::vector<double> ratios;
    std::size_t walked = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        editor->Command1_Click();
        const Clock::time_point redrawEnd = Clock::now();
        clearUpperVectorState();
        walked = 0;
        for (const ArcParameters &arc : arcs) {
            walked += walkArc(arc, frame, [&](double x, double y) {
                const QPoint corner = mapping.corner(x + frame.CX, frame.CY - y);
                if (corner != DotMapping::noDot)
                    storeDot(bits, stride, image.size(), corner, colour);
            });
        }
        benchmark::ClobberMemory();
        const double redraw = std::chrono::duration<double>(redrawEnd - start).count();
        const double floor = std::chrono::duration<double>(Clock::now() - redrawEnd).count();
        state.SetIterationTime(redraw);
        floors.push_back(floor * 1e3);
        ratios.push_back(redraw / floor);
    }
    if (walked != redrawn)
        state.SkipWithError("the floor loop walked other points than the editor's redraw");
    state.counters["floor_ms"] = median(floors);
    state.counters["ratio"] = median(ratios);
    app::destroyWindows();
}

const QSize fullHd(1920, 1080);
const QSize offscreenMaximised(796, 796);

// The true-size exports of the editor's curve, every segment bent with ALFA 3: the PDF's pages
// laid out and painted (on one sheet at 1 mm a unit, tiled at 4), and the DXF's text.
void BM_export(benchmark::State &state, const char *pointsIncrement, double millimetres, bool pdf)
{
    paintAndClear();
    Form4 *editor = preparedEditor(pointsIncrement, fullHd, "3");
    editor->Command1_Click();
    const Curve &curve = *editor->curve();
    TrueScale scale;
    scale.millimetresPerUnit = millimetres;
    for (auto _ : state) {
        if (pdf)
            benchmark::DoNotOptimize(curvePdf(curve, scale));
        else
            benchmark::DoNotOptimize(curveDxf(curve, millimetres));
    }
    if (pdf)
        state.counters["sheets"] = double(
            std::get<CurvePages>(layOutPages(curve, scale, QPageSize(scale.paper))).sheets.size());
    app::destroyWindows();
}

BENCHMARK_CAPTURE(BM_export, PDF_INST_5_1mm, "5", 1.0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_export, PDF_INST_1000_1mm, "1000", 1.0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_export, PDF_INST_1000_4mm, "1000", 4.0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_export, DXF_INST_1000, "1000", 1.0, false)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_editorRedraw, INST_5_1920x1080, "5", fullHd)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedraw, INST_1000_1920x1080, "1000", fullHd)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedraw, INST_5_796x796, "5", offscreenMaximised)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedraw, INST_1000_796x796, "1000", offscreenMaximised)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedraw, INST_1000_1920x1080_all_ALFA_3, "1000", fullHd, "3")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedrawDirtied, INST_1000_1920x1080_clearing, "1000", fullHd, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedrawDirtied, INST_1000_1920x1080_no_clearing, "1000", fullHd, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_redrawOverFloor, INST_1000_1920x1080, fullHd)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_redrawOverFloor, INST_1000_796x796, offscreenMaximised)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace
