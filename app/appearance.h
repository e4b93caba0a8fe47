#pragma once

#include <QFont>

namespace app {

// The program's sans-serif at a point size ("MS Sans Serif", replaced where missing by a face
// with the same metrics the layout was made for).
QFont sansSerif(qreal pointSize = 8, bool bold = false);
// The monospace of the instructions document ("Courier New", or its metric twin).
QFont monospace(qreal pointSize = 10);

} // namespace app
