#pragma once

#include "draw/clip.h"
#include "draw/userscale.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>

#include <limits>
#include <span>

// Where a canvas puts PSet's dot of a point: a value taken from the canvas, so that threads can
// map their points while they compute them and leave the canvas only the stores.
struct DotMapping
{
    double perUnitX = 1;
    double perUnitY = 1;
    int dotWidth = 1;
    QSize size{0, 0};

    // The corner of a point PSet paints nothing for: wholly outside, far away or not a number.
    static constexpr QPoint noDot{std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};

    // The top-left pixel of the dot PSet paints for (x, y), or noDot.
    QPoint corner(double x, double y) const
    {
        // A dot n pixels across centred on the point: for n = 2 the pixels either side of it.
        const double half = (dotWidth - 1) / 2.0;
        const double left = toSingleSaturated(x) * perUnitX - half;
        const double top = toSingleSaturated(y) * perUnitY - half;
        // floor(left) in 1 - n .. width - 1, some pixel of the dot inside; false for NaN.
        if (!(left >= 1 - dotWidth && left < size.width() && top >= 1 - dotWidth &&
              top < size.height()))
            return noDot;
        // Truncation stepped down below zero: floor, without a call.
        const int column = static_cast<int>(left);
        const int row = static_cast<int>(top);
        return QPoint(column - (column > left), row - (row > top));
    }

    friend bool operator==(const DotMapping &, const DotMapping &) = default;
};

// A drawing apart from any widget: a backing image addressed in a user scale, with the
// operations that paint into it. Each operation returns the logical rectangle it touched, so
// that a widget showing the canvas repaints just that, and a test or an export paints into a
// canvas of its own.
class Canvas
{
public:
    enum ScaleModes { UserScaleMode = 0, PixelMode = 3, CentimetreMode = 7 };

    explicit Canvas(QColor background = Qt::white);

    // The client size in logical pixels, at a device pixel ratio. The image only grows, and
    // keeps what is drawn, so a client shrunk and enlarged again loses nothing.
    void resize(QSize size, qreal devicePixelRatio = 1);
    QSize size() const { return m_size; }
    // For the centimetre scale.
    void setLogicalDpi(double x, double y);

    // 0: user scale (keeps the current extents); 3: pixels; 7: centimetres from the top-left.
    void setScaleMode(int mode);
    int ScaleMode() const { return m_mode; }
    // Setting an extent turns both axes into a user scale spanning the current client size.
    void setScaleWidth(float width);
    void setScaleHeight(float height);
    float ScaleWidth() const;
    float ScaleHeight() const;
    // The calibrated scale of the program's drawings: the given width across, and that width
    // times the calibration ratio (height scale over width scale) down.
    void setCalibratedScale(float width, double ratio);
    void setDrawWidth(int pixels);
    int DrawWidth() const { return m_drawWidth; }
    UserScale userScale() const { return UserScale(QSizeF(ScaleWidth(), ScaleHeight()), m_size); }

    // Erases the drawing to the background colour; the scale stays.
    QRect Cls();
    // A dot DrawWidth pixels across centred on (x, y).
    QRect PSet(double x, double y, QColor colour);
    // The dots of PSet for each point in turn, in one call: exactly the same pixels.
    QRect plotRun(std::span<const QPointF> points, QColor colour);
    // How PSet places its dots at the current scale, size and draw width.
    DotMapping dotMapping() const;
    // The dots of PSet at the given corners (from dotMapping() of this canvas as it is now;
    // noDot paints nothing), in one call: exactly the pixels of PSet for each point.
    QRect plotDots(std::span<const QPoint> corners, QColor colour);
    // The same, for corners that all lie in cornerBounds (the rectangle from the smallest to
    // the largest corner, which whoever made the corners knows): when every dot is then wholly
    // inside, each is painted by stores alone.
    QRect plotDots(std::span<const QPoint> corners, QColor colour, const QRect &cornerBounds);
    // A straight line in the foreground colour (black), DrawWidth pixels wide.
    QRect Line(double x1, double y1, double x2, double y2);
    // Entry of the standard 16-colour palette; indexes outside 0..15 wrap.
    static QColor QBColor(int index);

    // The colour Cls erases to; takes effect at the next Cls.
    void setBackgroundColour(QColor colour) { m_background = colour; }
    QColor backgroundColour() const { return m_background; }

    // The drawing at device resolution (devicePixelRatio() set on it); it may reach beyond the
    // client size.
    const QImage &image() const { return m_image; }
    // The client area's drawing, one pixel per logical pixel.
    QImage drawing() const;

private:
    // Brings the pixels-per-unit factors up to date with the scale and the client size.
    void updateMapping();
    // The dot of PSet, without the bookkeeping: its logical rectangle, empty when outside.
    QRect paintDot(double x, double y, QRgb value);
    // The same from the dot's corner (not noDot).
    QRect paintCorner(QPoint corner, QRgb value);
    // Whether plotDots may write a dot wholly inside by plain stores (DotStores).
    bool storesDotsDirectly() const;
    // Records the logical rectangle as painted, for the next Cls to erase.
    void markDirty(const QRect &logical);

    QImage m_image;
    QColor m_background;
    QSize m_size{0, 0};
    qreal m_ratio = 1;
    double m_dpiX = 96;
    double m_dpiY = 96;
    int m_mode = PixelMode;
    float m_scaleWidth = 1; // held only in UserScaleMode
    float m_scaleHeight = 1;
    int m_drawWidth = 1;
    // Kept from the last scale change or resize: PSet runs for every point of every arc.
    double m_pixelsPerUnitX = 1;
    double m_pixelsPerUnitY = 1;
    // Everything of the image outside m_dirty (device pixels) holds m_clean, so that Cls
    // erases only what was painted since, not the whole image that may reach past the client.
    QRegion m_dirty;
    // PSet's dots, as the corners of one rectangle: a region of thousands of dots is slow.
    QPoint m_dotsFrom{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    QPoint m_dotsTo{std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};
    void markDotsDirty();
    QColor m_clean;
};
