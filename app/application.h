#pragma once

namespace app {

// The program start: with a QApplication already constructed, installs Qt's own Italian
// translations (where they are installed) and opens the start window.
void start();

} // namespace app
