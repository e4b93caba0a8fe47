#pragma once

#include <QColor>
#include <QImage>

#include <algorithm>

// How many pixels of an opaque (RGB32) image have the colour.
inline int countPixels(const QImage &image, QColor colour)
{
    const QRgb value = colour.rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        count += int(std::count(line, line + image.width(), value));
    }
    return count;
}
