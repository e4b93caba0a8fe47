#pragma once

#include <QPointF>
#include <QSize>
#include <QSizeF>

// Maps user units to logical pixels of a surface. In both systems the origin is the top-left
// corner and y grows downwards; the user rectangle (0, 0, width, height) spans the pixel
// rectangle (0, 0, pixels.width(), pixels.height()).
class UserScale
{
public:
    UserScale() = default;
    UserScale(QSizeF user, QSize pixels) : m_user(user), m_pixels(pixels) {}

    QSizeF user() const { return m_user; }
    QSize pixels() const { return m_pixels; }

    // Continuous pixel position; a zero user size maps everything to NaN, which draws nothing.
    QPointF toPixel(QPointF user) const;
    QPointF toUser(QPointF pixel) const;

private:
    QSizeF m_user{1, 1};
    QSize m_pixels{1, 1};
};
