#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

// The editor's whole redraw as "ESEGUI" runs it: clear, axes, chords, four arcs and the readout
// grid, timed from entry into the click handler until it returns, in wall-clock time (the arcs
// are walked on every core). At 1920 x 1080 and at 796 x 796, the size of the maximised window
// on the offscreen platform; at the default points increment and at the largest one the editor
// accepts. The editor is not shown.

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
    Form4 *editor = preparedEditor(pointsIncrement, size, alfa);
    for (auto _ : state)
        editor->Command1_Click();
    app::destroyWindows();
}

const QSize fullHd(1920, 1080);
const QSize offscreenMaximised(796, 796);

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

} // namespace
