#include "overlays.h"
#include "paintedstate.h"

#include "app/windows.h"
#include "calibration/form2.h"
#include "common/angles.h"
#include "common/vectorstate.h"
#include "editor/curve/arcwalks.h"
#include "editor/form4.h"
#include "formats/dxf.h"
#include "formats/pages.h"
#include "formats/pdf.h"
#include "points/form3.h"

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <span>
#include <vector>

// The editor's whole redraw as "ESEGUI" runs it: clear, axes, chords, four arcs and the readout
// grid, timed from entry into the click handler until it returns, in wall-clock time (the arcs
// are walked on every core). At 1920 x 1080 and at 796 x 796, the size of the maximised window
// on the offscreen platform; at the default points increment and at the largest one the editor
// accepts. The editor is not shown. Each redraw starts with the editor's Cls, in a process where
// Qt has painted. Beside them, the redraws of a user's changes at INST 1000 against what they
// are held to: one thread walking the arcs that changed and storing their dots into an image,
// from a clean vector state.

namespace {

// The joins panel, the curvature comb and an offset line over the drawing, or none of them.
// The first two are remembered settings, so every benchmark sets them.
void showOverlays(Form4 *editor, bool shown = true)
{
    for (const char *name : {"joins", "comb", "offset"})
        if (!showOverlay(editor, QString::fromLatin1(name), shown))
            qFatal("the editor cannot show %s", name);
}

// One segment bent, as in use; or, with alfa set, every segment bent with that ALFA increment
// both ways, which costs the walk two more sines a point.
Form4 *preparedEditor(const char *pointsIncrement, QSize size, const char *alfa)
{
    app::form3()->Command3_Click(); // the default base points, all valid: no message
    Form4 *editor = app::form4();
    showOverlays(editor, false);
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

// Every arc walked at every redraw (reuse off), as before an arc was taken over from the last
// redraw when nothing it depends on changed; or, with reuse, "ESEGUI" pressed again on an
// unchanged curve, which walks nothing.
void BM_editorRedraw(benchmark::State &state, const char *pointsIncrement, QSize size,
                     const char *alfa = nullptr, bool reuse = false)
{
    paintAndClear();
    Form4 *editor = preparedEditor(pointsIncrement, size, alfa);
    setArcWalkReuse(reuse);
    for (auto _ : state)
        editor->Command1_Click();
    setArcWalkReuse(true);
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
    setArcWalkReuse(false);
    for (auto _ : state) {
        dirtyUpperVectorState();
        editor->Command1_Click();
    }
    setArcWalkReuse(true);
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

// What a redraw at INST 1000 is held against: one thread walking arcs of the editor's redraw
// again, from a clean vector state, with their dots stored into an image of the editor's size
// and nothing else (no clearing, axes, chords, readout or joins).
class WalkFloor
{
public:
    explicit WalkFloor(Form4 *editor)
        : m_editor(editor), m_image(editor->canvas().size(), QImage::Format_RGB32)
    {
        m_image.fill(Qt::white);
    }

    // The arcs of the editor's last redraw, of the segments given.
    std::vector<ArcParameters> arcs(std::span<const Segment> which) const
    {
        const Curve &curve = *m_editor->curve();
        std::vector<ArcParameters> arcs;
        for (Segment segment : which)
            arcs.push_back(
                segmentArc(curve.points, segment, curve.rows[static_cast<std::size_t>(segment)]));
        return arcs;
    }

    // Walks them, in seconds; points() then counts the points walked.
    double walk(const std::vector<ArcParameters> &arcs)
    {
        using Clock = std::chrono::steady_clock;
        const Curve &curve = *m_editor->curve();
        const ArcFrame frame{degreesToRadians, float(curve.origin.x()), float(curve.origin.y()),
                             curve.INST};
        const DotMapping mapping = m_editor->dotMapping();
        const QRgb colour = Canvas::QBColor(4).rgb();
        uchar *const bits = m_image.bits();
        const qsizetype stride = m_image.bytesPerLine();
        const QSize size = m_image.size();
        const Clock::time_point start = Clock::now();
        clearUpperVectorState();
        m_points = 0;
        for (const ArcParameters &arc : arcs) {
            m_points += walkArc(arc, frame, [&](double x, double y) {
                const QPoint corner = mapping.corner(x + frame.CX, frame.CY - y);
                if (corner != DotMapping::noDot)
                    storeDot(bits, stride, size, corner, colour);
            });
        }
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
    std::size_t points() const { return m_points; }

private:
    Form4 *m_editor;
    QImage m_image;
    std::size_t m_points = 0;
};

std::size_t pointsOf(const Curve &curve, std::span<const Segment> which)
{
    std::size_t points = 0;
    for (Segment segment : which)
        points += curve.arcs[static_cast<std::size_t>(segment)].size();
    return points;
}

// Each redraw against the floor loop that followed it, so that a change in the machine's load
// falls on both: "ratio" is the median of redraw / floor, "margin_ms" the median of redraw -
// (budget x floor + allowance), which keeping the budget makes at most 0.
void reportAgainstFloor(benchmark::State &state, const std::vector<double> &redraws,
                        const std::vector<double> &floors, double budget, double allowanceMs)
{
    std::vector<double> ratios;
    std::vector<double> margins;
    for (std::size_t i = 0; i < redraws.size(); ++i) {
        ratios.push_back(redraws[i] / floors[i]);
        margins.push_back((redraws[i] - budget * floors[i]) * 1e3 - allowanceMs);
    }
    std::vector<double> floorMs;
    for (double f : floors)
        floorMs.push_back(f * 1e3);
    state.counters["floor_ms"] = median(floorMs);
    state.counters["ratio"] = median(ratios);
    state.counters["budget"] = budget;
    state.counters["allowance_ms"] = allowanceMs;
    state.counters["margin_ms"] = median(margins);
}

// The joins panel and the comb may add this much to a redraw.
constexpr double overlayAllowanceMs = 1;

// One arrow step of the vertical bar at INST 1000, BC chosen: the cleared redraw in which one
// arc changed, against one thread walking that arc and storing its dots. Budget: 0.6.
void BM_stepOverFloor(benchmark::State &state, QSize size, bool overlays)
{
    Form4 *editor = preparedEditor("1000", size, nullptr);
    if (overlays)
        showOverlays(editor);
    editor->Command1_Click();
    auto *bar = editor->findChild<QScrollBar *>("HScroll2");
    WalkFloor floor(editor);
    const Segment bc[] = {Segment::BC};
    using Clock = std::chrono::steady_clock;
    std::vector<double> redraws;
    std::vector<double> floors;
    bool up = true;
    for (auto _ : state) {
        const long long walked = arcsWalked();
        const Clock::time_point start = Clock::now();
        bar->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                              : QAbstractSlider::SliderSingleStepSub);
        const double redraw = std::chrono::duration<double>(Clock::now() - start).count();
        up = !up;
        if (arcsWalked() - walked != 1) {
            state.SkipWithError("a step walked other arcs than the one it changed");
            break;
        }
        const double floorTime = floor.walk(floor.arcs(bc));
        if (floor.points() != pointsOf(*editor->curve(), bc)) {
            state.SkipWithError("the floor walked other points than the step's redraw");
            break;
        }
        state.SetIterationTime(redraw);
        redraws.push_back(redraw);
        floors.push_back(floorTime);
    }
    reportAgainstFloor(state, redraws, floors, 0.6, overlays ? overlayAllowanceMs : 0);
    app::destroyWindows();
}

// Every segment changed, as after "Modifica i PUNTI": the base points moved by a unit and back
// between redraws, each redraw ("ESEGUI") walking all four arcs, against one thread walking the
// same four and storing their dots. Budget: 0.55.
void BM_allSegmentsOverFloor(benchmark::State &state, QSize size, bool overlays)
{
    Form4 *editor = preparedEditor("1000", size, nullptr);
    if (overlays)
        showOverlays(editor);
    editor->Command1_Click();
    Form3 *points = app::form3();
    const std::array<QString, 10> texts = points->boxTexts();
    const BasePoints original = points->basePoints();
    BasePoints moved = original;
    for (Variant &x : moved.X)
        x = Variant::real(x.toDouble() + 1);
    WalkFloor floor(editor);
    using Clock = std::chrono::steady_clock;
    std::vector<double> redraws;
    std::vector<double> floors;
    bool away = true;
    for (auto _ : state) {
        points->restore(texts, away ? moved : original);
        away = !away;
        const long long walked = arcsWalked();
        const Clock::time_point start = Clock::now();
        editor->Command1_Click();
        const double redraw = std::chrono::duration<double>(Clock::now() - start).count();
        if (arcsWalked() - walked != 4) {
            state.SkipWithError("moving every base point did not walk every arc");
            break;
        }
        const double floorTime = floor.walk(floor.arcs(segments));
        if (floor.points() != pointsOf(*editor->curve(), segments)) {
            state.SkipWithError("the floor walked other points than the redraw");
            break;
        }
        state.SetIterationTime(redraw);
        redraws.push_back(redraw);
        floors.push_back(floorTime);
    }
    reportAgainstFloor(state, redraws, floors, 0.55, overlays ? overlayAllowanceMs : 0);
    points->restore(texts, original);
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
BENCHMARK_CAPTURE(BM_editorRedraw, INST_1000_1920x1080_unchanged, "1000", fullHd, nullptr, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedrawDirtied, INST_1000_1920x1080_clearing, "1000", fullHd, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_editorRedrawDirtied, INST_1000_1920x1080_no_clearing, "1000", fullHd, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_stepOverFloor, INST_1000_1920x1080, fullHd, false)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_stepOverFloor, INST_1000_796x796, offscreenMaximised, false)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_stepOverFloor, INST_1000_1920x1080_overlays, fullHd, true)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_allSegmentsOverFloor, INST_1000_1920x1080, fullHd, false)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_allSegmentsOverFloor, INST_1000_796x796, offscreenMaximised, false)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_allSegmentsOverFloor, INST_1000_1920x1080_overlays, fullHd, true)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace
