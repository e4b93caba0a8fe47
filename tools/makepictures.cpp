// Renders the editor's own controls into the four pictures of the instructions page:
//   cinquepunti_pictures <folder>   (writes immagine1.png ... immagine4.png there)
// Run it on the offscreen platform, so that the screen's fonts and scaling stay out of it. At
// QT_SCALE_FACTOR=2 it writes immagine1@2x.png ... at twice the size, which the page shows on
// screens of that scale.

#include "app/windows.h"
#include "editor/form4.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

struct Picture
{
    const char *file;
    QStringList controls; // the picture shows these, with some room around them
    QSize size;           // its size on the page
};

// The smallest rectangle around the controls, widened to the picture's proportions.
QRect sourceRect(QWidget *window, const QStringList &controls, QSize size)
{
    QRect area;
    for (const QString &name : controls) {
        auto *control = window->findChild<QWidget *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        area |= QRect(control->mapTo(window, QPoint(0, 0)), control->size());
    }
    area.adjust(-4, -4, 4, 4);
    const double aspect = double(size.width()) / size.height();
    if (area.width() < area.height() * aspect) {
        const int grow = int(area.height() * aspect) - area.width();
        area.adjust(-grow / 2, 0, grow - grow / 2, 0);
    } else {
        const int grow = int(area.width() / aspect) - area.height();
        area.adjust(0, -grow / 2, 0, grow - grow / 2);
    }
    // Kept inside the window: beyond its edges there is nothing to show.
    area.moveTo(std::max(0, area.left()), std::max(0, area.top()));
    return area;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: cinquepunti_pictures <folder>\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    Form4 *editor = app::form4();
    editor->resize(1000, 700);
    editor->Cls();

    const Picture pictures[] = {
        {"immagine1.png", {"Frame1"}, {107, 121}},
        {"immagine2.png", {"Frame4", "Frame3"}, {482, 126}},
        {"immagine3.png", {"Frame5"}, {151, 86}},
        {"immagine4.png", {"Label9", "Text9"}, {151, 42}},
    };
    const qreal ratio = editor->devicePixelRatioF();
    const QString suffix = ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
    int written = 0;
    for (const Picture &picture : pictures) {
        const QRect source = sourceRect(editor, picture.controls, picture.size);
        // At the device pixel ratio: the grab has ratio times the pixels of the source.
        const QImage grabbed = editor->grab(source).toImage();
        const QImage scaled =
            grabbed.scaled(picture.size * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QString path = folder.filePath(QString::fromLatin1(picture.file));
        path.insert(path.size() - 4, suffix); // before ".png"
        if (!scaled.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        ++written;
    }
    app::destroyWindows();
    std::printf("%d pictures written to %s\n", written, qPrintable(folder.absolutePath()));
    return 0;
}
