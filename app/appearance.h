#pragma once

#include <QFont>

class QWidget;

namespace app {

// The program's sans-serif at a point size ("MS Sans Serif", replaced where missing by a face
// with the same metrics the layout was made for).
QFont sansSerif(qreal pointSize = 8, bool bold = false);
// The monospace of the instructions document ("Courier New", or its metric twin).
QFont monospace(qreal pointSize = 10);

// Places a control at its layout rectangle, given in twips (15 to a pixel).
void placeTwips(QWidget *control, int left, int top, int width, int height);
// A layout measure in twips (1/1440 inch), in pixels at 96 dots per inch.
constexpr int twips(int value)
{
    return value / 15;
}

} // namespace app
