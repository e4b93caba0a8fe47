#include "paintedstate.h"

#include "draw/canvas.h"

#include <QLabel>
#include <QPixmap>

void paintAndClear()
{
    QLabel label(QStringLiteral("Cinquepunti: INCREMENTO DI ALFA"));
    label.resize(400, 60);
    const QPixmap rendered = label.grab();
    // A new background colour makes Cls fill the whole image through Qt.
    Canvas canvas(Qt::white);
    canvas.resize(QSize(796, 796));
    canvas.Cls();
    canvas.Line(10, 10, 700, 500);
    canvas.setBackgroundColour(QColor(254, 254, 254));
    canvas.Cls();
}
