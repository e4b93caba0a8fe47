#pragma once

#include <QFont>

class QWidget;

namespace app {

// The program's sans-serif at a design size ("MS Sans Serif", replaced where missing by a face
// with the same metrics the layout was made for).
QFont sansSerif(qreal pointSize = 8, bool bold = false);
// The monospace of the instructions document ("Courier New", or its metric twin).
QFont monospace(qreal pointSize = 10);

// Places a control at its design rectangle, given in twips (15 to a pixel).
void placeTwips(QWidget *control, int left, int top, int width, int height);
// The design's twips in pixels.
constexpr int twips(int value)
{
    return value / 15;
}

} // namespace app
