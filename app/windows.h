#pragma once

#include "common/basepoints.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>

class Form1;
class Form2;
class Form3;
class Form4;

// The four windows of the program, the moves between them and the two values that cross them.
// A window asks here for another window or a shared value; only the registry knows the form
// classes. Each window is created at its first use (a show, or a read of its public values)
// and lives until the program ends.
namespace app {

// The moves between windows: each shows its window modeless, brings it to the front and
// activates it. The calibration and editor windows open maximised, and draw at the size the
// user first sees them at.
void showStart();
void showCalibration();
void showPoints();
void showEditor();

// The calibration ratio, height scale over width scale of a drawing area (Form2's Incr).
double calibrationRatio();
// The base points as of the last "===>>" of the base points window (Form3's X1 ... Y5).
BasePoints basePoints();

// Keeping the work, served by the editor and the base points window.
// The base points window's ten boxes (AX, AY ... EY), and putting back the boxes and points a
// document kept there.
std::array<QString, 10> basePointTexts();
void restoreBasePoints(const std::array<QString, 10> &texts, const BasePoints &points);
// The ratio an opened document was drawn with: the calibration ratio as long as the
// calibration window does not exist in this run.
void useDocumentRatio(double ratio);
// Opens the document into the windows and shows the editor; a bad file is a message naming it
// and changes nothing. A recovered work is marked unsaved, under the file it belonged to.
bool openWork(const QString &fileName, bool recovered = false);
// "Apri...", from any window: the question about unsaved changes, the dialog, the opening.
void askToOpenWork(QWidget *parent);

// The windows themselves, for the registry's own use and for tests.
Form1 *form1();
Form2 *form2();
Form3 *form3();
Form4 *form4();
void show(QWidget *window);

// Runs the window's activation handler when the window becomes active and the window of the
// program that was active before it was a different one. Shows call it themselves; the
// platform's activation events (the user clicking from one window to another) call it too, so
// a repeated notice for the same window is harmless, and a message box closing, which
// re-activates the window behind it, runs nothing.
void windowActivated(QWidget *window);

// Held while a dialog or message that a window opened is open. When it ends, the window is the
// active one again, with its focus where it was: openbox, when a modal dialog closes, may hand
// the keyboard to another window of the program instead. That window's activation, until the
// opener's own arrives, runs nothing: the user never went there.
class DialogScope
{
public:
    explicit DialogScope(QWidget *opener);
    ~DialogScope();
    DialogScope(const DialogScope &) = delete;
    DialogScope &operator=(const DialogScope &) = delete;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

// "ESCI": closes every window and leaves the event loop; no handler runs afterwards.
void endProgram();
// The work ends with the program (ESCI, the last window closed): its recovery file is removed,
// or left for the next start when the work has changes that no document holds.
void endWork();
bool isEnding();

// Destroys the windows: at the end of the program, and between tests.
void destroyWindows();

} // namespace app
