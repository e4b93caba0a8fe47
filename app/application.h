#pragma once

#include <QStringList>

namespace app {

// The program start: with a QApplication already constructed, installs Qt's own Italian
// translations (where they are installed), offers to bring back the work of a run that died,
// and opens the start window.
void start();
// The same with the files named on the command line: the first is opened straight into the
// editor, without the start window; a bad one is a message, then the start window.
void start(const QStringList &files);

} // namespace app
