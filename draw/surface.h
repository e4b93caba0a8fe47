#pragma once

#include "draw/canvas.h"

#include <QWidget>

// The widget showing a Canvas: the client area of the calibration and editor windows and the
// chord preview picture. The drawing calls go to the canvas; the widget repaints what they
// touched, and paintEvent only copies the image, so covering and uncovering loses nothing.
class DrawingSurface : public QWidget
{
    Q_OBJECT

public:
    enum ScaleModes {
        UserScaleMode = Canvas::UserScaleMode,
        PixelMode = Canvas::PixelMode,
        CentimetreMode = Canvas::CentimetreMode
    };

    explicit DrawingSurface(QWidget *parent = nullptr);

    void setScaleMode(int mode) { canvas().setScaleMode(mode); }
    int ScaleMode() const { return m_canvas.ScaleMode(); }
    void setScaleWidth(float width) { canvas().setScaleWidth(width); }
    void setScaleHeight(float height) { canvas().setScaleHeight(height); }
    float ScaleWidth() const { return canvas().ScaleWidth(); }
    float ScaleHeight() const { return canvas().ScaleHeight(); }
    void setCalibratedScale(float width, double ratio)
    {
        canvas().setCalibratedScale(width, ratio);
    }
    void setDrawWidth(int pixels) { m_canvas.setDrawWidth(pixels); }
    int DrawWidth() const { return m_canvas.DrawWidth(); }
    UserScale userScale() const { return canvas().userScale(); }

    void Cls()
    {
        follow();
        touch(m_canvas.Cls());
    }
    void PSet(double x, double y, QColor colour) { touch(canvas().PSet(x, y, colour)); }
    DotMapping dotMapping() const { return canvas().dotMapping(); }
    void plotDots(std::span<const QPoint> corners, QColor colour)
    {
        touch(canvas().plotDots(corners, colour));
    }
    void plotDots(std::span<const QPoint> corners, QColor colour, const QRect &cornerBounds)
    {
        touch(canvas().plotDots(corners, colour, cornerBounds));
    }
    void Line(double x1, double y1, double x2, double y2) { touch(canvas().Line(x1, y1, x2, y2)); }
    static QColor QBColor(int index) { return Canvas::QBColor(index); }

    // Sets the colour and clears to it.
    void setBackgroundColour(QColor colour);
    QColor backgroundColour() const { return m_canvas.backgroundColour(); }
    // The drawing at device resolution (devicePixelRatio() set on it).
    const QImage &image() const { return m_canvas.image(); }
    // The canvas, sized to the widget's client area as it is now.
    Canvas &canvas() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Brings the canvas to the widget's size, pixel ratio and dots per inch.
    void follow() const;
    void touch(const QRect &logicalRect);

    // Mutable: the canvas follows the widget's size, which changes without an event while the
    // widget is hidden; every read brings it up to date first.
    mutable Canvas m_canvas;
    QRect m_pending; // area already scheduled for repaint
};
