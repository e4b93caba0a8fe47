#include "draw/surface.h"

#include "draw/clip.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double centimetresPerInch = 2.54;

// Pixel index of a continuous pixel coordinate, kept where int arithmetic is safe.
int pixelIndex(double p)
{
    return static_cast<int>(std::floor(std::clamp(p, -1e9, 1e9)));
}

} // namespace

DrawingSurface::DrawingSurface(QWidget *parent)
    : QWidget(parent), m_background(palette().color(QPalette::Window))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingSurface::setScaleMode(int mode)
{
    if (mode == UserScaleMode) {
        // Freezes the extents the current mode gives.
        const float width = ScaleWidth();
        const float height = ScaleHeight();
        m_scaleWidth = width;
        m_scaleHeight = height;
    }
    m_mode = mode;
    updateMapping();
}

float DrawingSurface::ScaleWidth() const
{
    switch (m_mode) {
    case UserScaleMode:
        return m_scaleWidth;
    case CentimetreMode:
        return static_cast<float>(width() * centimetresPerInch / logicalDpiX());
    default:
        return static_cast<float>(width());
    }
}

float DrawingSurface::ScaleHeight() const
{
    switch (m_mode) {
    case UserScaleMode:
        return m_scaleHeight;
    case CentimetreMode:
        return static_cast<float>(height() * centimetresPerInch / logicalDpiY());
    default:
        return static_cast<float>(height());
    }
}

void DrawingSurface::setScaleWidth(float width)
{
    setScaleMode(UserScaleMode);
    m_scaleWidth = width;
    updateMapping();
}

void DrawingSurface::setScaleHeight(float height)
{
    setScaleMode(UserScaleMode);
    m_scaleHeight = height;
    updateMapping();
}

void DrawingSurface::setDrawWidth(int pixels)
{
    m_drawWidth = std::max(1, pixels);
}

UserScale DrawingSurface::userScale() const
{
    return UserScale(QSizeF(ScaleWidth(), ScaleHeight()), size());
}

void DrawingSurface::updateMapping()
{
    const QPointF unit = userScale().toPixel(QPointF(1, 1));
    m_pixelsPerUnitX = unit.x();
    m_pixelsPerUnitY = unit.y();
}

void DrawingSurface::setBackgroundColour(QColor colour)
{
    m_background = colour;
    Cls();
}

void DrawingSurface::Cls()
{
    ensureImage();
    m_image.fill(m_background);
    m_pending = rect();
    update();
}

void DrawingSurface::PSet(double x, double y, QColor colour)
{
    // A dot n pixels across centred on the point: for n = 2 the pixels either side of it.
    const double half = (m_drawWidth - 1) / 2.0;
    const double left = std::floor(toSingleSaturated(x) * m_pixelsPerUnitX - half);
    const double top = std::floor(toSingleSaturated(y) * m_pixelsPerUnitY - half);
    // Written to be false for NaN too: a point that is not a number paints nothing.
    if (!(left > -m_drawWidth && left < width() && top > -m_drawWidth && top < height()))
        return;
    const QRect visible = QRect(int(left), int(top), m_drawWidth, m_drawWidth) & rect();
    if (m_image.isNull() || m_image.width() < width() * m_image.devicePixelRatio() ||
        m_image.height() < height() * m_image.devicePixelRatio())
        ensureImage();
    const qreal ratio = m_image.devicePixelRatio();
    // Written straight into the image: a QPainter per dot costs several times more, and the
    // editor plots every point of every arc with its own call.
    const QRect device =
        ratio == 1
            ? visible
            : QRect(QPoint(std::floor(visible.left() * ratio), std::floor(visible.top() * ratio)),
                    QPoint(std::ceil((visible.right() + 1) * ratio) - 1,
                           std::ceil((visible.bottom() + 1) * ratio) - 1)) &
                  m_image.rect();
    const QRgb value = colour.rgb();
    for (int row = device.top(); row <= device.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(row));
        std::fill(line + device.left(), line + device.right() + 1, value);
    }
    touch(visible);
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2)
{
    const UserScale scale = userScale();
    const QPointF a = scale.toPixel({toSingleSaturated(x1), toSingleSaturated(y1)});
    const QPointF b = scale.toPixel({toSingleSaturated(x2), toSingleSaturated(y2)});
    // Clipped to the client area before the painter sees it: the painter draws far
    // coordinates wrongly (a line to 1e30 comes out along the top row).
    const std::optional<QLineF> clipped = clipLine(QLineF(a, b), QRectF(0, 0, width(), height()));
    if (!clipped)
        return;
    auto toIndex = [this](QPointF p) {
        return QPoint(std::clamp(pixelIndex(p.x()), 0, std::max(0, width() - 1)),
                      std::clamp(pixelIndex(p.y()), 0, std::max(0, height() - 1)));
    };
    const QPoint from = toIndex(clipped->p1());
    const QPoint to = toIndex(clipped->p2());
    ensureImage();
    QPainter painter(&m_image);
    // A wide pen's square end would reach past the client area into the image kept beyond it.
    painter.setClipRect(rect());
    painter.setPen(QPen(Qt::black, m_drawWidth, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(from, to);
    const int margin = m_drawWidth;
    touch(QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin));
}

QColor DrawingSurface::QBColor(int index)
{
    static constexpr std::array<QRgb, 16> palette = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return QColor::fromRgb(palette[static_cast<std::size_t>(index & 15)]);
}

void DrawingSurface::ensureImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize needed = size() * ratio;
    if (!m_image.isNull() && m_image.devicePixelRatio() == ratio &&
        m_image.width() >= needed.width() && m_image.height() >= needed.height())
        return;
    // Grows only, keeping what is drawn, so a window shrunk and enlarged again loses nothing.
    QImage grown(
        needed.expandedTo(m_image.size() / std::max<qreal>(1, m_image.devicePixelRatio()) * ratio),
        QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(m_background);
    if (!m_image.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), m_image);
    }
    m_image = grown;
}

void DrawingSurface::touch(const QRect &logicalRect)
{
    // One growing rectangle instead of a region of many small ones: an arc is hundreds of dots.
    if (m_pending.contains(logicalRect))
        return;
    m_pending |= logicalRect;
    update(m_pending);
}

void DrawingSurface::paintEvent(QPaintEvent *event)
{
    ensureImage();
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    painter.drawImage(dirty, m_image, QRectF(dirty.topLeft() * ratio, dirty.size() * ratio));
    m_pending = QRect();
}

void DrawingSurface::resizeEvent(QResizeEvent *event)
{
    ensureImage();
    updateMapping();
    QWidget::resizeEvent(event);
}
