#pragma once

#include "draw/userscale.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

// A widget that keeps a drawing in a backing image and is addressed in a user scale: the
// client area of the calibration and editor windows and the chord preview picture. Drawing
// goes into the image; paintEvent only copies it, so covering and uncovering loses nothing.
class DrawingSurface : public QWidget
{
    Q_OBJECT

public:
    enum ScaleModes { UserScaleMode = 0, PixelMode = 3, CentimetreMode = 7 };

    explicit DrawingSurface(QWidget *parent = nullptr);

    // 0: user scale (keeps the current extents); 7: centimetres from the top-left corner.
    void setScaleMode(int mode);
    int ScaleMode() const { return m_mode; }
    // Setting an extent turns both axes into a user scale spanning the current client size.
    void setScaleWidth(float width);
    void setScaleHeight(float height);
    float ScaleWidth() const;
    float ScaleHeight() const;
    void setDrawWidth(int pixels);
    int DrawWidth() const { return m_drawWidth; }

    // Erases the drawing to the background colour; the scale stays.
    void Cls();
    // A dot DrawWidth pixels across centred on (x, y).
    void PSet(double x, double y, QColor colour);
    // A straight line in the foreground colour (black), DrawWidth pixels wide.
    void Line(double x1, double y1, double x2, double y2);
    // Entry of the standard 16-colour palette; indexes outside 0..15 wrap.
    static QColor QBColor(int index);

    void setBackgroundColour(QColor colour);
    QColor backgroundColour() const { return m_background; }
    UserScale userScale() const;
    // The drawing at device resolution (devicePixelRatio() set on it).
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Sizes the image to the widget at the screen's current pixel ratio.
    void ensureImage();
    // Brings the pixels-per-unit factors up to date with the scale and the client size.
    void updateMapping();
    void touch(const QRect &logicalRect);

    QImage m_image;
    QColor m_background;
    int m_mode = PixelMode;
    float m_scaleWidth = 1; // held only in UserScaleMode
    float m_scaleHeight = 1;
    int m_drawWidth = 1;
    // Kept from the last scale change or resize: PSet runs for every point of every arc.
    double m_pixelsPerUnitX = 1;
    double m_pixelsPerUnitY = 1;
    QRect m_pending; // area already scheduled for repaint
};
