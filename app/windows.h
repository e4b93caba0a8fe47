#pragma once

class QWidget;
class Form1;
class Form2;
class Form3;
class Form4;

// The four windows of the program and the moves between them. Each window is created at its
// first use (a show, or a read of its public values) and lives until the program ends.
namespace app {

Form1 *form1();
Form2 *form2();
Form3 *form3();
Form4 *form4();

// Modeless show: makes the window visible, brings it to the front and activates it. Form2 and
// Form4 open maximised, at their final size before their first drawing.
void show(QWidget *window);

// Runs the window's activation handler when the window becomes active and the window of the
// program that was active before it was a different one. Shows call it themselves; the
// platform's activation events (the user clicking from one window to another) call it too, so
// a repeated notice for the same window is harmless, and a message box closing, which
// re-activates the window behind it, runs nothing.
void windowActivated(QWidget *window);

// "ESCI": closes every window and leaves the event loop; no handler runs afterwards.
void endProgram();
bool isEnding();

// Destroys the windows: at the end of the program, and between tests.
void destroyWindows();

} // namespace app
