#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <benchmark/benchmark.h>

// The editor's whole redraw as "ESEGUI" runs it: clear, axes, chords, four arcs and the readout
// grid, on a 1920 x 1080 editor that is not shown, at the default points increment and at the
// largest one the editor accepts.

namespace {

Form4 *preparedEditor(const char *pointsIncrement)
{
    app::form3()->Command3_Click(); // the default base points, all valid: no message
    Form4 *editor = app::form4();
    editor->resize(1920, 1080);
    editor->findChild<QLineEdit *>("Text9")->setText(QString::fromLatin1(pointsIncrement));
    // One segment bent, as in use.
    editor->findChild<QRadioButton *>("Option2")->setChecked(true);
    editor->findChild<QScrollBar *>("HScroll2")->setValue(120);
    return editor;
}

void BM_editorRedraw(benchmark::State &state, const char *pointsIncrement)
{
    Form4 *editor = preparedEditor(pointsIncrement);
    for (auto _ : state)
        editor->Command1_Click();
    app::destroyWindows();
}

BENCHMARK_CAPTURE(BM_editorRedraw, INST_5, "5")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_editorRedraw, INST_1000, "1000")->Unit(benchmark::kMillisecond);

} // namespace
