#include "draw/surface.h"

#include <QPaintEvent>
#include <QPainter>

DrawingSurface::DrawingSurface(QWidget *parent)
    : QWidget(parent), m_canvas(palette().color(QPalette::Window))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingSurface::follow() const
{
    m_canvas.setLogicalDpi(logicalDpiX(), logicalDpiY());
    m_canvas.resize(size(), devicePixelRatioF());
}

Canvas &DrawingSurface::canvas() const
{
    // Only the size is compared: the pixel ratio is slower to find, and PSet runs per point. A
    // change of ratio alone (another screen) is taken up at the next Cls or repaint.
    if (m_canvas.size() != size() || m_canvas.image().isNull())
        follow();
    return m_canvas;
}

void DrawingSurface::setBackgroundColour(QColor colour)
{
    m_canvas.setBackgroundColour(colour);
    Cls();
}

void DrawingSurface::touch(const QRect &logicalRect)
{
    // One growing rectangle instead of a region of many small ones: an arc is hundreds of dots.
    if (logicalRect.isEmpty() || m_pending.contains(logicalRect))
        return;
    m_pending |= logicalRect;
    update(m_pending);
}

void DrawingSurface::paintEvent(QPaintEvent *event)
{
    follow();
    const QImage &image = m_canvas.image();
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = image.devicePixelRatio();
    painter.drawImage(dirty, image, QRectF(dirty.topLeft() * ratio, dirty.size() * ratio));
    m_pending = QRect();
}

void DrawingSurface::resizeEvent(QResizeEvent *event)
{
    follow();
    QWidget::resizeEvent(event);
}
