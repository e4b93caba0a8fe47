#include "draw/canvas.h"
#include "draw/clip.h"
#include "draw/userscale.h"
#include "pixels.h"

#include <QTest>

#include <cmath>
#include <limits>

// The user scale, line clipping and the canvas, without any widget.
class tst_Drawing : public QObject
{
    Q_OBJECT

private slots:
    void userScaleBothWays_data();
    void userScaleBothWays();
    void clipLine_data();
    void clipLine();
    void saturation();
    void pointAndDotWidth();
    void lineCoversTheDotsPixelsAtRatio2();
    void lineSpansTheFullHeightWhateverTheScale_data();
    void lineSpansTheFullHeightWhateverTheScale();
    void farCoordinatesDrawNothingWrong_data();
    void farCoordinatesDrawNothingWrong();
    void lineToAFarPointReachesTheEdge_data();
    void lineToAFarPointReachesTheEdge();
    void centimetreModeAndUserExtents();
    void clsKeepsScaleAndResizeKeepsDrawing();
    void clsLeavesTheWholeImageBackground_data();
    void clsLeavesTheWholeImageBackground();
    void paletteAndRender();
    void runPlotsTheDotsOfSinglePoints_data();
    void runPlotsTheDotsOfSinglePoints();
};

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

struct Surface
{
    Canvas widget{Qt::white};
    explicit Surface(int width = 400, int height = 300, float scaleWidth = 1000,
                     float scaleHeight = 500)
    {
        widget.resize(QSize(width, height));
        widget.Cls();
        widget.setScaleWidth(scaleWidth);
        widget.setScaleHeight(scaleHeight);
    }
};

// What a user sees of a canvas: its client area, one pixel per logical pixel.
QImage drawingOf(const Canvas *canvas)
{
    return canvas->drawing();
}

} // namespace

void tst_Drawing::userScaleBothWays_data()
{
    QTest::addColumn<QSizeF>("user");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("pixel");
    QTest::newRow("centre") << QSizeF(1000, 500) << QSize(400, 300) << QPointF(500, 250)
                            << QPointF(200, 150);
    QTest::newRow("origin") << QSizeF(1000, 500) << QSize(400, 300) << QPointF(0, 0)
                            << QPointF(0, 0);
    QTest::newRow("far corner") << QSizeF(300, 225) << QSize(321, 289) << QPointF(300, 225)
                                << QPointF(321, 289);
    QTest::newRow("outside") << QSizeF(100, 100) << QSize(50, 200) << QPointF(-20, 150)
                             << QPointF(-10, 300);
}

void tst_Drawing::userScaleBothWays()
{
    QFETCH(QSizeF, user);
    QFETCH(QSize, pixels);
    QFETCH(QPointF, point);
    QFETCH(QPointF, pixel);
    const UserScale scale(user, pixels);
    QCOMPARE(scale.toPixel(point), pixel);
    QCOMPARE(scale.toUser(pixel), point);
    const QPointF zero = UserScale(QSizeF(0, 10), pixels).toPixel(point);
    QVERIFY(std::isnan(zero.x()));
}

void tst_Drawing::clipLine_data()
{
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QLineF>("expected");
    const QLineF none;
    QTest::newRow("inside") << QLineF(10, 10, 90, 40) << true << QLineF(10, 10, 90, 40);
    QTest::newRow("on the edges") << QLineF(0, 0, 100, 50) << true << QLineF(0, 0, 100, 50);
    QTest::newRow("across") << QLineF(-50, 25, 150, 25) << true << QLineF(0, 25, 100, 25);
    QTest::newRow("out right, direction kept")
        << QLineF(50, 25, 250, 125) << true << QLineF(50, 25, 100, 50);
    QTest::newRow("reversed") << QLineF(250, 125, 50, 25) << true << QLineF(100, 50, 50, 25);
    QTest::newRow("misses") << QLineF(-10, -10, 200, -1) << false << none;
    QTest::newRow("beside") << QLineF(120, 0, 120, 50) << false << none;
    QTest::newRow("far to the corner")
        << QLineF(50, 25, 1e30, 1e30) << true << QLineF(50, 25, 75, 50);
    QTest::newRow("from far away") << QLineF(-1e30, 25, 50, 25) << true << QLineF(0, 25, 50, 25);
    QTest::newRow("both far") << QLineF(-1e6, 10, 1e6, 30) << true << QLineF(0, 20, 100, 20.001);
    QTest::newRow("infinite") << QLineF(10, 10, inf, 10) << false << none;
    QTest::newRow("nan") << QLineF(10, notANumber, 20, 20) << false << none;
}

void tst_Drawing::clipLine()
{
    QFETCH(QLineF, line);
    QFETCH(bool, visible);
    QFETCH(QLineF, expected);
    const std::optional<QLineF> clipped = ::clipLine(line, QRectF(0, 0, 100, 50));
    QCOMPARE(clipped.has_value(), visible);
    if (!visible)
        return;
    // A result never leaves the rectangle.
    for (const QPointF p : {clipped->p1(), clipped->p2()})
        QVERIFY(QRectF(0, 0, 100, 50).contains(p));
    QVERIFY2(QLineF(clipped->p1(), expected.p1()).length() < 1e-9 &&
                 QLineF(clipped->p2(), expected.p2()).length() < 1e-9,
             qPrintable(QStringLiteral("got (%1, %2)-(%3, %4)")
                            .arg(clipped->x1())
                            .arg(clipped->y1())
                            .arg(clipped->x2())
                            .arg(clipped->y2())));
}

void tst_Drawing::saturation()
{
    // Both ends near the double range: the cut points cannot be placed to the pixel, but they
    // stay inside and nothing overflows.
    const std::optional<QLineF> far =
        ::clipLine(QLineF(-1.7e308, 10, 1.7e308, 10), QRectF(0, 0, 100, 50));
    QVERIFY(far && QRectF(0, 0, 100, 50).contains(far->p1()) &&
            QRectF(0, 0, 100, 50).contains(far->p2()));

    QCOMPARE(toSingleSaturated(1e300), double(std::numeric_limits<float>::max()));
    QCOMPARE(toSingleSaturated(-1e300), -double(std::numeric_limits<float>::max()));
    QCOMPARE(toSingleSaturated(0.1), double(0.1f));
    QVERIFY(std::isinf(toSingleSaturated(inf)));
    QVERIFY(std::isnan(toSingleSaturated(notANumber)));
}

void tst_Drawing::pointAndDotWidth()
{
    Surface s;
    const QColor red = Canvas::QBColor(4);
    s.widget.PSet(500, 250, red);
    QImage image = drawingOf(&s.widget);
    QCOMPARE(image.pixelColor(200, 150), red);
    QCOMPARE(countPixels(image, red), 1);

    s.widget.Cls();
    s.widget.setDrawWidth(2);
    s.widget.PSet(500, 250, red);
    image = drawingOf(&s.widget);
    QCOMPARE(countPixels(image, red), 4);
    for (const QPoint p : {QPoint(199, 149), QPoint(200, 149), QPoint(199, 150), QPoint(200, 150)})
        QCOMPARE(image.pixelColor(p), red);

    // A dot half over the edge keeps its inside half.
    s.widget.Cls();
    s.widget.PSet(1000, 100, red);
    QCOMPARE(countPixels(drawingOf(&s.widget), red), 2);
}

void tst_Drawing::lineCoversTheDotsPixelsAtRatio2()
{
    // Through a point, a line covers the device pixels of that point's dot, at a screen scale of
    // 2 as at 1: not half a pixel beside it; a line of no length is that dot.
    for (qreal ratio : {1.0, 2.0}) {
        for (int width : {1, 2, 3}) {
            Canvas line(Qt::white);
            Canvas dot(Qt::white);
            Canvas point(Qt::white);
            for (Canvas *canvas : {&line, &dot, &point}) {
                canvas->resize(QSize(20, 20), ratio);
                canvas->setScaleMode(Canvas::PixelMode);
                canvas->setDrawWidth(width);
            }
            line.Line(10, 0, 10, 19);
            dot.PSet(10, 10, Qt::black);
            point.Line(10, 10, 10, 10);
            QCOMPARE(point.image(), dot.image());
            const int row = int(10 * ratio);
            const QImage lineRow = line.image().copy(0, row, line.image().width(), 1);
            QCOMPARE(lineRow, dot.image().copy(0, row, dot.image().width(), 1));
        }
    }
}

void tst_Drawing::lineSpansTheFullHeightWhateverTheScale_data()
{
    QTest::addColumn<float>("scaleHeight");
    QTest::newRow("500") << 500.0f;
    QTest::newRow("calibrated") << 146367.359375f * 0.53f;
    QTest::newRow("tiny") << 1e-3f;
}

void tst_Drawing::lineSpansTheFullHeightWhateverTheScale()
{
    QFETCH(float, scaleHeight);
    Surface s(400, 300, 1000, scaleHeight);
    s.widget.Line(250, 0, 250, s.widget.ScaleHeight());
    const QImage image = drawingOf(&s.widget);
    for (int y = 0; y < 300; ++y)
        QCOMPARE(image.pixelColor(100, y), QColor(Qt::black));
    QCOMPARE(countPixels(image, Qt::black), 300);
}

void tst_Drawing::farCoordinatesDrawNothingWrong_data()
{
    QTest::addColumn<double>("far");
    QTest::newRow("1e30") << 1e30;
    QTest::newRow("-1e30") << -1e30;
    QTest::newRow("1e308") << 1e308;
    QTest::newRow("inf") << inf;
    QTest::newRow("-inf") << -inf;
    QTest::newRow("nan") << notANumber;
}

void tst_Drawing::farCoordinatesDrawNothingWrong()
{
    QFETCH(double, far);
    Surface s;
    s.widget.setDrawWidth(2);
    s.widget.PSet(far, far, Qt::black);
    s.widget.PSet(far, 250, Qt::black);
    s.widget.PSet(500, far, Qt::black);
    s.widget.Line(far, far, far, far);
    s.widget.Line(far, far, far, -far);
    s.widget.Line(far, far, -far, far);
    // Far beyond the surface or not a number at all: nothing shows.
    QCOMPARE(countPixels(drawingOf(&s.widget), Qt::black), 0);
}

void tst_Drawing::lineToAFarPointReachesTheEdge_data()
{
    QTest::addColumn<double>("toX");
    QTest::addColumn<double>("toY");
    QTest::addColumn<QPoint>("edgePixel");
    // From the centre (200, 150) in pixels; the scale is 2.5 units a pixel across, 5/3 down.
    QTest::newRow("right") << 1e30 << 250.0 << QPoint(399, 150);
    QTest::newRow("left") << -1e30 << 250.0 << QPoint(0, 150);
    QTest::newRow("down") << 500.0 << 1e30 << QPoint(200, 299);
    QTest::newRow("up") << 500.0 << -1e30 << QPoint(200, 0);
    QTest::newRow("diagonal, saturated") << 1e300 << 1e300 << QPoint(300, 299);
}

void tst_Drawing::lineToAFarPointReachesTheEdge()
{
    QFETCH(double, toX);
    QFETCH(double, toY);
    QFETCH(QPoint, edgePixel);
    Surface s;
    s.widget.Line(500, 250, toX, toY);
    const QImage image = drawingOf(&s.widget);
    QCOMPARE(image.pixelColor(200, 150), QColor(Qt::black));
    QCOMPARE(image.pixelColor(edgePixel), QColor(Qt::black));
    // A straight run from the centre to that edge pixel, nothing else.
    const int expected = std::max(std::abs(edgePixel.x() - 200), std::abs(edgePixel.y() - 150)) + 1;
    QCOMPARE(countPixels(image, Qt::black), expected);
}

void tst_Drawing::centimetreModeAndUserExtents()
{
    Canvas surface;
    surface.resize(QSize(378, 189));
    surface.setLogicalDpi(96, 96);
    surface.setScaleMode(Canvas::CentimetreMode);
    QCOMPARE(surface.ScaleMode(), 7);
    QCOMPARE(surface.ScaleWidth(), float(378 * 2.54 / 96));
    // Setting the width keeps the height in centimetres until it is set too.
    const float heightInCentimetres = surface.ScaleHeight();
    surface.setScaleWidth(1000);
    QCOMPARE(surface.ScaleMode(), 0);
    QCOMPARE(surface.ScaleWidth(), 1000.0f);
    QCOMPARE(surface.ScaleHeight(), heightInCentimetres);
    surface.setScaleHeight(750);
    QCOMPARE(surface.ScaleHeight(), 750.0f);
    // The user scale follows the client size.
    surface.resize(QSize(500, 300));
    QCOMPARE(surface.userScale().toPixel(QPointF(1000, 750)), QPointF(500, 300));
}

void tst_Drawing::clsKeepsScaleAndResizeKeepsDrawing()
{
    Surface s;
    s.widget.Line(0, 0, 1000, 500);
    s.widget.resize(QSize(200, 100));
    s.widget.resize(QSize(400, 300));
    QImage image = drawingOf(&s.widget);
    QCOMPARE(image.pixelColor(399, 299), QColor(Qt::black)); // drawn before the shrink
    s.widget.Cls();
    QCOMPARE(countPixels(drawingOf(&s.widget), Qt::black), 0);
    QCOMPARE(s.widget.ScaleWidth(), 1000.0f);
    QCOMPARE(s.widget.ScaleHeight(), 500.0f);
    // After growing, the new size is drawn on in full.
    s.widget.resize(QSize(800, 600));
    s.widget.Line(1000, 0, 1000, 500);
    image = drawingOf(&s.widget);
    QCOMPARE(image.pixelColor(799, 599), QColor(Qt::black));
}

void tst_Drawing::clsLeavesTheWholeImageBackground_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("ratio 1") << qreal(1);
    QTest::newRow("ratio 1.5") << qreal(1.5);
}

void tst_Drawing::clsLeavesTheWholeImageBackground()
{
    QFETCH(qreal, ratio);
    // Whatever was painted, shrunk away or recoloured, a Cls leaves no pixel of the image
    // (beyond the client too, where a grown client would show it) other than the background.
    Canvas canvas(Qt::white);
    auto expectAllBackground = [&](QColor background) {
        QImage expected(canvas.image().size(), QImage::Format_RGB32);
        expected.setDevicePixelRatio(ratio);
        expected.fill(background);
        return canvas.image() == expected;
    };
    canvas.resize(QSize(400, 300), ratio);
    canvas.setScaleWidth(1000);
    canvas.setScaleHeight(500);
    for (int width : {1, 2, 3}) {
        canvas.setDrawWidth(width);
        // Each overlaps what the one before painted, and reaches beyond it.
        canvas.PSet(999.9, 499.9, Qt::red);
        canvas.Line(0, 0, 1000, 500);
        const std::vector<QPointF> run = {{10, 10}, {995, 250}, {500, 499}, {-1, -1}};
        canvas.plotRun(run, Qt::red);
    }
    canvas.resize(QSize(100, 80), ratio);
    canvas.Cls();
    QVERIFY(expectAllBackground(Qt::white));
    canvas.resize(QSize(400, 300), ratio);
    canvas.PSet(500, 250, Qt::red);
    canvas.setBackgroundColour(Qt::yellow);
    // Grown before the next Cls: the new part takes the new colour, the old keeps white.
    canvas.resize(QSize(600, 400), ratio);
    canvas.Cls();
    QVERIFY(expectAllBackground(Qt::yellow));
}

void tst_Drawing::paletteAndRender()
{
    QCOMPARE(Canvas::QBColor(4), QColor(128, 0, 0));
    QCOMPARE(Canvas::QBColor(0), QColor(0, 0, 0));
    QCOMPARE(Canvas::QBColor(15), QColor(255, 255, 255));
    QCOMPARE(Canvas::QBColor(12), QColor(255, 0, 0));
}

void tst_Drawing::runPlotsTheDotsOfSinglePoints_data()
{
    QTest::addColumn<int>("drawWidth");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("2 px") << 2 << qreal(1);
    QTest::newRow("1 px") << 1 << qreal(1);
    QTest::newRow("3 px at ratio 1.5") << 3 << qreal(1.5);
    QTest::newRow("2 px at ratio 2") << 2 << qreal(2);
}

void tst_Drawing::runPlotsTheDotsOfSinglePoints()
{
    QFETCH(int, drawWidth);
    QFETCH(qreal, ratio);
    // Inside, on each edge, far outside and not a number, in one run.
    // The dots inside and those cut by each edge take different ways in a run.
    const std::vector<QPointF> points = {
        {500, 250},   {0, 0},         {1000, 500},     {999.9, 0.1},     {-1.2, 250},
        {500, -0.4},  {1e30, 1e30},   {notANumber, 3}, {250.25, 125.75}, {-inf, inf},
        {1.25, 0.84}, {997.5, 498.4}, {998.76, 250},   {500, 498.34},    {3, notANumber},
        {1.26, 300},  {0.5, 0.5},     {-3e38, 1e-40}};
    Canvas single(Qt::white);
    Canvas run(Qt::white);
    Canvas dots(Qt::white);
    QRect touched;
    for (Canvas *canvas : {&single, &run, &dots}) {
        canvas->resize(QSize(400, 300), ratio);
        canvas->Cls();
        canvas->setScaleWidth(1000);
        canvas->setScaleHeight(500);
        canvas->setDrawWidth(drawWidth);
    }
    for (const QPointF &p : points)
        touched |= single.PSet(p.x(), p.y(), Qt::red);
    QCOMPARE(run.plotRun(points, Qt::red), touched);
    QCOMPARE(run.image(), single.image());
    QVERIFY(countPixels(run.drawing(), Qt::red) > 0);
    // The same from the corners mapped beforehand, as the editor's walk does.
    const DotMapping mapping = dots.dotMapping();
    std::vector<QPoint> corners;
    for (const QPointF &p : points)
        corners.push_back(mapping.corner(p.x(), p.y()));
    QCOMPARE(dots.plotDots(corners, Qt::red), touched);
    QCOMPARE(dots.image(), single.image());

    // With the corners' bounds given, as the walk gives them (the points that paint nothing
    // left out): the same pixels and rectangle, whether the bounds let every dot be stored
    // blind or one reaches an edge.
    std::vector<QPoint> painting;
    QRect bounds;
    for (const QPoint corner : corners) {
        if (corner == DotMapping::noDot)
            continue;
        painting.push_back(corner);
        bounds = bounds.isNull() ? QRect(corner, corner) : bounds.united(QRect(corner, corner));
    }
    for (const bool withEdges : {false, true}) {
        std::vector<QPoint> some;
        QRect someBounds;
        for (const QPoint corner : painting) {
            if (!withEdges && !QRect(0, 0, 399, 299).contains(QRect(corner, QSize(2, 2))))
                continue;
            some.push_back(corner);
            someBounds = someBounds.isNull() ? QRect(corner, corner)
                                             : someBounds.united(QRect(corner, corner));
        }
        Canvas expected(Qt::white);
        Canvas known(Qt::white);
        QRect expectedTouched;
        for (Canvas *canvas : {&expected, &known}) {
            canvas->resize(QSize(400, 300), ratio);
            canvas->Cls();
            canvas->setDrawWidth(drawWidth);
        }
        for (const QPoint corner : some)
            expectedTouched |= expected.plotDots(std::span(&corner, 1), Qt::red);
        QCOMPARE(known.plotDots(some, Qt::red, someBounds), expectedTouched);
        QCOMPARE(known.image(), expected.image());
    }
}

QTEST_MAIN(tst_Drawing)
#include "tst_drawing.moc"
