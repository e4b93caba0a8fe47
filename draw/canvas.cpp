#include "draw/canvas.h"

#include "common/vectorstate.h"
#include "draw/clip.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr double centimetresPerInch = 2.54;

// Writes the editor's 2 x 2 dot at a corner wholly inside the image: two stores of two pixels.
class DotStores
{
public:
    DotStores(QImage &image, QRgb value)
        : m_bits(image.bits()), m_stride(image.bytesPerLine()), m_pair(quint64(value) << 32 | value)
    {
    }
    void operator()(int column, int row) const
    {
        uchar *const at = m_bits + row * m_stride + column * 4;
        std::memcpy(at, &m_pair, sizeof m_pair);
        std::memcpy(at + m_stride, &m_pair, sizeof m_pair);
    }

private:
    uchar *m_bits;
    qsizetype m_stride;
    quint64 m_pair;
};

// Pixel index of a continuous pixel coordinate, kept where int arithmetic is safe.
int pixelIndex(double p)
{
    return static_cast<int>(std::floor(std::clamp(p, -1e9, 1e9)));
}

} // namespace

Canvas::Canvas(QColor background) : m_background(background) {}

void Canvas::resize(QSize size, qreal devicePixelRatio)
{
    const QSize needed = size * devicePixelRatio;
    const bool sameSize = size == m_size;
    m_size = size;
    m_ratio = devicePixelRatio;
    if (!sameSize)
        updateMapping();
    if (!m_image.isNull() && m_image.devicePixelRatio() == devicePixelRatio &&
        m_image.width() >= needed.width() && m_image.height() >= needed.height())
        return;
    if (needed.isEmpty() && m_image.isNull())
        return;
    const bool sameRatio = m_image.devicePixelRatio() == devicePixelRatio;
    markDotsDirty(); // at the ratio they were painted with
    QImage grown(needed.expandedTo(m_image.size() / std::max<qreal>(1, m_image.devicePixelRatio()) *
                                   devicePixelRatio),
                 QImage::Format_RGB32);
    grown.setDevicePixelRatio(devicePixelRatio);
    grown.fill(m_background);
    if (m_image.isNull()) {
        m_clean = m_background;
        m_dirty = QRegion();
    } else {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), m_image);
        // The old part keeps its pixels; a background changed since the last Cls leaves two
        // colours around the painted part, and another ratio scales the old part, so then the
        // next Cls erases all.
        if (m_background != m_clean || !sameRatio)
            m_dirty = QRegion(grown.rect());
    }
    m_image = grown;
}

void Canvas::setLogicalDpi(double x, double y)
{
    if (x == m_dpiX && y == m_dpiY)
        return;
    m_dpiX = x;
    m_dpiY = y;
    updateMapping();
}

void Canvas::setScaleMode(int mode)
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

float Canvas::ScaleWidth() const
{
    switch (m_mode) {
    case UserScaleMode:
        return m_scaleWidth;
    case CentimetreMode:
        return static_cast<float>(m_size.width() * centimetresPerInch / m_dpiX);
    default:
        return static_cast<float>(m_size.width());
    }
}

float Canvas::ScaleHeight() const
{
    switch (m_mode) {
    case UserScaleMode:
        return m_scaleHeight;
    case CentimetreMode:
        return static_cast<float>(m_size.height() * centimetresPerInch / m_dpiY);
    default:
        return static_cast<float>(m_size.height());
    }
}

void Canvas::setScaleWidth(float width)
{
    setScaleMode(UserScaleMode);
    m_scaleWidth = width;
    updateMapping();
}

void Canvas::setScaleHeight(float height)
{
    setScaleMode(UserScaleMode);
    m_scaleHeight = height;
    updateMapping();
}

void Canvas::setCalibratedScale(float width, double ratio)
{
    setScaleWidth(width);
    // From the width as the scale holds it, in single precision.
    setScaleHeight(static_cast<float>(ScaleWidth() * ratio));
}

void Canvas::setDrawWidth(int pixels)
{
    m_drawWidth = std::max(1, pixels);
}

void Canvas::updateMapping()
{
    const QPointF unit = userScale().toPixel(QPointF(1, 1));
    m_pixelsPerUnitX = unit.x();
    m_pixelsPerUnitY = unit.y();
}

QRect Canvas::Cls()
{
    markDotsDirty();
    if (m_background != m_clean || m_image.isNull()) {
        m_image.fill(m_background);
        m_clean = m_background;
    } else {
        const QRect bounds = m_image.rect();
        const QRgb value = m_background.rgb();
        for (const QRect &painted : m_dirty) {
            const QRect area = painted & bounds;
            for (int row = area.top(); row <= area.bottom(); ++row) {
                auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(row));
                std::fill(line + area.left(), line + area.right() + 1, value);
            }
        }
    }
    m_dirty = QRegion();
    return QRect(QPoint(), m_size);
}

void Canvas::markDotsDirty()
{
    if (m_dotsTo.x() >= m_dotsFrom.x())
        markDirty(QRect(m_dotsFrom, m_dotsTo));
    m_dotsFrom = QPoint(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    m_dotsTo = QPoint(std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
}

void Canvas::markDirty(const QRect &logical)
{
    if (logical.isEmpty())
        return;
    // Rounded outwards, with a pixel to spare: at a fractional ratio a logical pixel's device
    // pixels are found by rounding that the painter may do differently.
    const QRect device = m_ratio == 1 ? logical
                                      : QRectF(QPointF(logical.topLeft()) * m_ratio,
                                               QSizeF(logical.size()) * m_ratio)
                                            .toAlignedRect()
                                            .adjusted(-1, -1, 1, 1);
    m_dirty += device;
}

DotMapping Canvas::dotMapping() const
{
    return DotMapping{m_pixelsPerUnitX, m_pixelsPerUnitY, m_drawWidth, m_size};
}

QRect Canvas::paintDot(double x, double y, QRgb value)
{
    const QPoint corner = dotMapping().corner(x, y);
    return corner == DotMapping::noDot ? QRect() : paintCorner(corner, value);
}

QRect Canvas::paintCorner(QPoint corner, QRgb value)
{
    const QRect visible = QRect(corner, QSize(m_drawWidth, m_drawWidth)) & QRect(QPoint(), m_size);
    if (visible.isEmpty())
        return {};
    // Written straight into the image: a QPainter per dot costs several times more, and the
    // editor plots every point of every arc.
    const QRect device = m_ratio == 1
                             ? visible
                             : QRect(QPoint(std::floor(visible.left() * m_ratio),
                                            std::floor(visible.top() * m_ratio)),
                                     QPoint(std::ceil((visible.right() + 1) * m_ratio) - 1,
                                            std::ceil((visible.bottom() + 1) * m_ratio) - 1)) &
                                   m_image.rect();
    for (int row = device.top(); row <= device.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(row));
        std::fill(line + device.left(), line + device.right() + 1, value);
    }
    return visible;
}

QRect Canvas::PSet(double x, double y, QColor colour)
{
    const QRect dot = paintDot(x, y, colour.rgb());
    if (!dot.isEmpty()) {
        m_dotsFrom =
            QPoint(std::min(m_dotsFrom.x(), dot.left()), std::min(m_dotsFrom.y(), dot.top()));
        m_dotsTo =
            QPoint(std::max(m_dotsTo.x(), dot.right()), std::max(m_dotsTo.y(), dot.bottom()));
    }
    return dot;
}

QRect Canvas::plotRun(std::span<const QPointF> points, QColor colour)
{
    // Mapped here, then plotted as the editor's walk hands its dots over.
    const DotMapping mapping = dotMapping();
    std::vector<QPoint> corners;
    corners.reserve(points.size());
    for (const QPointF &p : points)
        corners.push_back(mapping.corner(p.x(), p.y()));
    return plotDots(corners, colour);
}

bool Canvas::storesDotsDirectly() const
{
    // The editor's dot, 2 x 2 pixels at one device pixel per pixel, into an image that holds
    // the whole client area.
    return m_drawWidth == 2 && m_ratio == 1 && m_size.width() >= 2 && m_size.height() >= 2 &&
           m_image.width() >= m_size.width() && m_image.height() >= m_size.height();
}

QRect Canvas::plotDots(std::span<const QPoint> corners, QColor colour, const QRect &cornerBounds)
{
    clearUpperVectorState(); // the painting of a Cls or a line may have left it dirty
    const QRect inside(0, 0, m_size.width() - 1, m_size.height() - 1); // where a 2 x 2 dot fits
    if (corners.empty() || !storesDotsDirectly() || !inside.contains(cornerBounds))
        return plotDots(corners, colour);
    // Every dot known to be wholly inside: nothing is tested.
    const DotStores store(m_image, colour.rgb());
    for (const QPoint corner : corners)
        store(corner.x(), corner.y());
    const QRect touched(cornerBounds.topLeft(), cornerBounds.bottomRight() + QPoint(1, 1));
    markDirty(touched);
    return touched;
}

QRect Canvas::plotDots(std::span<const QPoint> corners, QColor colour)
{
    clearUpperVectorState();
    const QRgb value = colour.rgb();
    // Bounds of the touched dots, kept by hand: QRect::operator| per dot costs more than the dot.
    int left = m_size.width();
    int top = m_size.height();
    int right = -1;
    int bottom = -1;
    auto include = [&](const QRect &dot) {
        if (dot.isEmpty())
            return;
        left = std::min(left, dot.left());
        top = std::min(top, dot.top());
        right = std::max(right, dot.right());
        bottom = std::max(bottom, dot.bottom());
    };
    // As unsigned, a negative corner is out of range too; with a draw width other than 2 no
    // corner passes, and every dot takes paintCorner's clipping.
    const bool direct = storesDotsDirectly();
    const auto lastColumn = direct ? static_cast<unsigned>(m_size.width() - 1) : 0u;
    const auto lastRow = direct ? static_cast<unsigned>(m_size.height() - 1) : 0u;
    const DotStores store(m_image, value);
    for (const QPoint corner : corners) {
        const int column = corner.x();
        const int row = corner.y();
        if (static_cast<unsigned>(column) < lastColumn && static_cast<unsigned>(row) < lastRow)
            [[likely]] {
            store(column, row);
            include(QRect(column, row, 2, 2));
        } else if (corner != DotMapping::noDot) {
            include(paintCorner(corner, value));
        }
    }
    const QRect touched = right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    markDirty(touched);
    return touched;
}

QRect Canvas::Line(double x1, double y1, double x2, double y2)
{
    const UserScale scale = userScale();
    const QPointF a = scale.toPixel({toSingleSaturated(x1), toSingleSaturated(y1)});
    const QPointF b = scale.toPixel({toSingleSaturated(x2), toSingleSaturated(y2)});
    const int width = m_size.width();
    const int height = m_size.height();
    // Clipped to the client area before the painter sees it: the painter draws far
    // coordinates wrongly (a line to 1e30 comes out along the top row).
    const std::optional<QLineF> clipped = clipLine(QLineF(a, b), QRectF(0, 0, width, height));
    if (!clipped || m_image.isNull())
        return {};
    auto toIndex = [&](QPointF p) {
        return QPoint(std::clamp(pixelIndex(p.x()), 0, std::max(0, width - 1)),
                      std::clamp(pixelIndex(p.y()), 0, std::max(0, height - 1)));
    };
    const QPoint from = toIndex(clipped->p1());
    const QPoint to = toIndex(clipped->p2());
    QPainter painter(&m_image);
    // A wide pen's square end would reach past the client area into the image kept beyond it.
    painter.setClipRect(QRect(QPoint(), m_size));
    painter.setPen(QPen(Qt::black, m_drawWidth, Qt::SolidLine, Qt::SquareCap));
    if (m_ratio == 1) {
        painter.drawLine(from, to);
    } else if (from == to) {
        // On a finer device Qt strokes a line of no length as a dash twice as wide as high:
        // the square of a dot, as at the ratio 1.
        const int half = m_drawWidth / 2;
        painter.fillRect(QRect(from - QPoint(half, half), QSize(m_drawWidth, m_drawWidth)),
                         Qt::black);
    } else {
        // At the ratio 1 a pen of odd width through a pixel's index covers that pixel, as PSet's
        // dot does; on a finer device it is centred on the pixel's corner, half a pixel up and
        // to the left of the dots. Through the pixel's centre it covers them again.
        const QPointF centre = m_drawWidth % 2 ? QPointF(0.5, 0.5) : QPointF();
        painter.drawLine(QPointF(from) + centre, QPointF(to) + centre);
    }
    const int margin = m_drawWidth;
    const QRect touched = QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin) &
                          QRect(QPoint(), m_size);
    markDirty(touched);
    return touched;
}

QColor Canvas::QBColor(int index)
{
    static constexpr std::array<QRgb, 16> palette = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    return QColor::fromRgb(palette[static_cast<std::size_t>(index & 15)]);
}

QImage Canvas::drawing() const
{
    if (m_image.isNull() || m_size.isEmpty())
        return QImage(m_size, QImage::Format_RGB32);
    QImage client = m_image.copy(QRect(QPoint(), m_size * m_ratio));
    client.setDevicePixelRatio(1);
    if (m_ratio != 1)
        client = client.scaled(m_size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return client;
}
