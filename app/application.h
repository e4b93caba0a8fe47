#pragma once

namespace app {

// The program start: with a QApplication already constructed, opens the start window.
void start();

} // namespace app
