#include "fuzzinput.h"

#include "draw/canvas.h"

#include <QImage>

// Points, runs and lines on a 200 x 100 canvas with any scale and any coordinates: nothing crashes
// and nothing is painted outside the surface. The canvas was larger before, so its backing
// image is larger than its client size, and the image beyond it must stay background.

namespace {

constexpr int surfaceWidth = 200;
constexpr int surfaceHeight = 100;
const QColor background = Qt::white;

Canvas *surface = nullptr;

void checkNothingOutside()
{
    const QImage &image = surface->image();
    const QRgb clear = background.rgb();
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const int from = y < surfaceHeight ? surfaceWidth : 0;
        for (int x = from; x < image.width(); ++x) {
            if (line[x] != clear) {
                std::fprintf(stderr, "pixel (%d, %d) painted\n", x, y);
                fuzzFailure("painted outside the surface");
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    surface = new Canvas(background);
    surface->resize(QSize(surfaceWidth + 100, surfaceHeight + 60));
    surface->Cls();
    surface->resize(QSize(surfaceWidth, surfaceHeight));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    surface->setScaleMode(Canvas::PixelMode);
    surface->setDrawWidth(1);
    surface->Cls();
    for (int operation = 0; operation < 64 && !input.atEnd(); ++operation) {
        switch (input.byte() % 7) {
        case 0:
            surface->setScaleWidth(input.single(1));
            break;
        case 1:
            surface->setScaleHeight(input.single(1));
            break;
        case 2:
            surface->setDrawWidth(input.byte() % 8);
            break;
        case 3: {
            static constexpr int modes[] = {Canvas::UserScaleMode, Canvas::PixelMode,
                                            Canvas::CentimetreMode};
            surface->setScaleMode(modes[input.byte() % 3]);
            break;
        }
        case 4: {
            const double x = input.number(0);
            const double y = input.number(0);
            surface->PSet(x, y, Canvas::QBColor(input.byte(4)));
            break;
        }
        case 5: {
            QPointF run[4];
            for (QPointF &p : run)
                p = QPointF(input.number(0), input.number(0));
            surface->plotRun(run, Canvas::QBColor(input.byte(4)));
            break;
        }
        default: {
            const double x1 = input.number(0);
            const double y1 = input.number(0);
            const double x2 = input.number(0);
            const double y2 = input.number(0);
            surface->Line(x1, y1, x2, y2);
            break;
        }
        }
    }
    if (surface->size() != QSize(surfaceWidth, surfaceHeight))
        fuzzFailure("the surface changed its size");
    checkNothingOutside();
    return 0;
}
