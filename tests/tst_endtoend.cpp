#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include <cmath>
#include <numbers>

// The whole tool as a user goes through it: start, calibration, points, editor and back.
class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void ordinaryPath();
};

namespace {

const QRgb black = qRgb(0, 0, 0) | 0xff000000;

struct Arc
{
    QPointF P, Q;      // the chord
    double SPTX, SPTY; // displacements
    double AVAX = 1, AVAY = 1;
};

// The arc at an angle in degrees, in the editor's plane.
QPointF arcPoint(const Arc &arc, double degrees)
{
    const double t = degrees * std::numbers::pi / 180;
    const QPointF extent = arc.Q - arc.P;
    return {arc.P.x() + extent.x() * std::sin(t) * std::sin(t) +
                arc.SPTX * std::cos(t) * std::sin(arc.AVAX * t),
            arc.P.y() + extent.y() * std::sin(t) * (1 + std::cos(t)) +
                arc.SPTY * std::cos(t) * std::sin(arc.AVAY * t)};
}

// Where the editor draws a point of its plane: origin at (430, CY), y upwards.
QPoint editorPixel(const Form4 *form, QPointF point)
{
    const double CY = form->ScaleHeight() / 2 + 50;
    return form->userScale().toPixel({430 + point.x(), CY - point.y()}).toPoint();
}

bool colourNear(const QImage &image, QPoint pixel, QRgb colour, int reach)
{
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (image.rect().contains(pixel + QPoint(dx, dy)) &&
                image.pixel(pixel + QPoint(dx, dy)) == colour)
                return true;
    return false;
}

// Angles of the arc, one point every 0.2 degree as at the increment 5, with no dark red
// pixel on or beside them.
QList<double> missingArcPoints(const Form4 *form, const Arc &arc)
{
    const QImage image = form->image();
    QList<double> missing;
    for (int k = 1; k < 450; ++k)
        if (!colourNear(image, editorPixel(form, arcPoint(arc, k * 0.2)), darkRed, 1))
            missing << k * 0.2;
    return missing;
}

void enterPoints(const QList<QPointF> &points)
{
    Form3 *form = app::form3();
    for (int i = 0; i < 5; ++i) {
        retype(form, qPrintable(QStringLiteral("Text%1").arg(2 * i + 1)),
               QLocale().toString(points[i].x()));
        retype(form, qPrintable(QStringLiteral("Text%1").arg(2 * i + 2)),
               QLocale().toString(points[i].y()));
    }
    click(form, "Command3"); // "===>>"
}

void settle(QWidget *window)
{
    if (!QTest::qWaitForWindowActive(window))
        qFatal("%s did not become active", qPrintable(window->objectName()));
    QCoreApplication::processEvents();
}

} // namespace

void tst_EndToEnd::ordinaryPath()
{
    MessageAnswerer answerer;
    app::start();
    click(app::form1(), "Command1"); // "AVANTI"
    settle(app::form2());
    scrollAction(app::form2(), "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(app::form2()->Incr(), 0.55);
    click(app::form2(), "Command1"); // "OK - continua"
    settle(app::form3());

    QList<QPointF> points = {{-150, -40}, {-60, 60}, {40, -20}, {150, 30}, {220, 120}};
    enterPoints(points);
    click(app::form3(), "Command2"); // "AVANTI"
    Form4 *form = app::form4();
    settle(form);
    QCOMPARE(form->ScaleHeight(), 550.f);
    QCOMPARE(gridRow(0), (QStringList{"0", "0", "1", "1"}));
    QCOMPARE(gridRow(1), (QStringList{"0", "0", "1", "1"}));
    const Arc straightBC{points[1], points[2], 0, 0};
    QCOMPARE(missingArcPoints(form, straightBC), QList<double>());

    // BC bent upwards by two clicks in the vertical bar's track.
    QTest::mouseClick(control<QRadioButton>(form, "Option2"), Qt::LeftButton);
    scrollAction(form, "HScroll2", QAbstractSlider::SliderPageStepAdd, 2);
    QCOMPARE(control<QLineEdit>(form, "Text7")->text(), QStringLiteral("100"));
    QCOMPARE(gridRow(1), (QStringList{"100", "0", "1", "1"}));
    QCOMPARE(gridRow(0), (QStringList{"0", "0", "1", "1"}));
    QCOMPARE(gridRow(2), (QStringList{"0", "0", "1", "1"}));
    const Arc bentBC{points[1], points[2], 0, 100};
    QCOMPARE(missingArcPoints(form, bentBC), QList<double>());
    QVERIFY(!colourNear(form->image(), editorPixel(form, arcPoint(straightBC, 45)), darkRed, 0));

    click(form, "Command7"); // "Modifica i PUNTI"
    settle(app::form3());
    const QImage blank = form->image();
    QCOMPARE(blank.pixel(editorPixel(form, arcPoint(bentBC, 45))), form->backgroundColour().rgb());
    QVERIFY(!colourNear(blank, editorPixel(form, {0, 0}), black, 2)); // not even the axes

    points[2] = {80, -90}; // C moves
    enterPoints(points);
    click(app::form3(), "Command2");
    settle(form);

    QCOMPARE(gridRow(1), (QStringList{"100", "0", "1", "1"}));
    QCOMPARE(gridRow(2), (QStringList{"0", "0", "1", "1"}));
    const Arc movedBC{points[1], points[2], 0, 100};
    QCOMPARE(missingArcPoints(form, movedBC), QList<double>());
    QVERIFY(!colourNear(form->image(), editorPixel(form, arcPoint(bentBC, 45)), darkRed, 0));
    // The new chord BC itself, a quarter of the way along.
    const QPointF quarter = points[1] + (points[2] - points[1]) / 4;
    QVERIFY(colourNear(form->image(), editorPixel(form, quarter), black, 1));
    QCOMPARE(missingArcPoints(form, {points[2], points[3], 0, 0}), QList<double>());

    QCOMPARE(answerer.texts(), QStringList());
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
