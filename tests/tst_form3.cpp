#include "app/windows.h"
#include "calibration/form2.h"
#include "draw/surface.h"
#include "points/form3.h"
#include "useractions.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

using Edits = QMap<QString, QString>; // box name to typed text
using Lines = QList<QLineF>;          // in user units, y downwards

static char *toString(const Variant &value)
{
    return QTest::toString(value.isUnset() ? QString("(empty)")
                                           : QString::number(value.toDouble(), 'g', 17));
}

namespace {

const std::array<QPointF, 5> defaults = {{{15, 15}, {60, 70}, {140, 20}, {188, 40}, {150, 90}}};

// The boxes in check order, with the value each one sets.
const std::array<std::pair<const char *, Variant (Form3::*)() const>, 10> boxes = {
    {{"Text1", &Form3::X1},
     {"Text2", &Form3::Y1},
     {"Text3", &Form3::X2},
     {"Text4", &Form3::Y2},
     {"Text5", &Form3::X3},
     {"Text6", &Form3::Y3},
     {"Text7", &Form3::X4},
     {"Text8", &Form3::Y4},
     {"Text9", &Form3::X5},
     {"Text10", &Form3::Y5}}};

Form3 *shownForm3()
{
    Form3 *form = app::form3();
    app::show(form);
    if (!QTest::qWaitForWindowExposed(form))
        qWarning("Form3 not exposed");
    return form;
}

void type(Form3 *form, const QString &boxName, const QString &text)
{
    auto *edit = control<QLineEdit>(form, qPrintable(boxName));
    edit->clear();
    QTest::keyClicks(edit, text);
}

void typeAll(Form3 *form, const Edits &edits)
{
    for (auto it = edits.cbegin(); it != edits.cend(); ++it)
        type(form, it.key(), it.value());
}

// Moves the calibration bar to the value of Incr asked for: 0.51 + 0.02 times the bar's value.
void calibrate(double incr)
{
    const int target = static_cast<int>(std::lround((incr - 0.51) / 0.02));
    const int current = control<QScrollBar>(app::form2(), "HScroll1")->value();
    scrollAction(app::form2(), "HScroll1", QAbstractSlider::SliderSingleStepAdd, target - current);
    if (std::abs(app::form2()->Incr() - incr) > 1e-9)
        qFatal("calibration at %g instead of %g", app::form2()->Incr(), incr);
}

// The chords through consecutive points given with y upwards, on a scale H high.
Lines chords(const std::array<QPointF, 5> &points, double H)
{
    Lines lines;
    for (std::size_t i = 1; i < points.size(); ++i)
        lines << QLineF(points[i - 1].x(), H - points[i - 1].y(), points[i].x(), H - points[i].y());
    return lines;
}

QImage pictureImage(Form3 *form)
{
    auto *picture = control<DrawingSurface>(form, "Picture1");
    QImage image(picture->size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    picture->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

double distanceToSegment(QPointF p, const QLineF &line)
{
    const QPointF d = line.p2() - line.p1();
    const double squared = QPointF::dotProduct(d, d);
    const double t =
        squared == 0 ? 0 : std::clamp(QPointF::dotProduct(p - line.p1(), d) / squared, 0.0, 1.0);
    const QPointF nearest = line.p1() + t * d;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// The picture shows exactly the lines, given in user units of a scale: every pixel is white or
// lies on a line in black, and each line is black wherever it crosses the picture.
void verifyLines(const QImage &image, const Lines &userLines, QSizeF scale)
{
    Lines lines;
    for (const QLineF &l : userLines) {
        lines << QLineF(
            l.x1() * image.width() / scale.width(), l.y1() * image.height() / scale.height(),
            l.x2() * image.width() / scale.width(), l.y2() * image.height() / scale.height());
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                continue;
            const QPointF centre(x + 0.5, y + 0.5);
            const bool onALine = image.pixel(x, y) == qRgb(0, 0, 0) &&
                                 std::any_of(lines.cbegin(), lines.cend(), [&](const QLineF &l) {
                                     return distanceToSegment(centre, l) <= 1.5;
                                 });
            QVERIFY2(onALine, qPrintable(QString("stray pixel at %1,%2").arg(x).arg(y)));
        }
    }
    for (const QLineF &l : lines) {
        const int samples = std::min(10000, static_cast<int>(l.length()) + 1);
        for (int i = 0; i <= samples; ++i) {
            const QPointF p = l.pointAt(double(i) / samples);
            if (p.x() < 0 || p.y() < 0 || p.x() > image.width() || p.y() > image.height())
                continue;
            bool black = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint near(static_cast<int>(p.x()) + dx, static_cast<int>(p.y()) + dy);
                    black |= image.valid(near) && image.pixel(near) == qRgb(0, 0, 0);
                }
            }
            QVERIFY2(black, qPrintable(QString("gap at %1,%2").arg(p.x()).arg(p.y())));
        }
    }
}

} // namespace

class tst_Form3 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void layout_data();
    void layout();
    void window();
    void tabOrder();
    void valuesChangeOnlyOnPress();
    void check_data();
    void check();
    void messageOrder_data();
    void messageOrder();
    void messagesOverPreviousDrawing();
    void preview_data();
    void preview();
    void previewStates();
};

void tst_Form3::layout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("pointSize");

    const QString label6 = "I punti indicati sono come esempio essi possono essere cambiati in "
                           "qualunque momento. Essi tracciano i segmenti come indicato in figura "
                           "su questi segmenti-corda il programma traccia la relativa curva, "
                           "ciascuna delle quali può essere modificata.";
    const QString none;
    // Left, top, width, height in twips.
    QTest::newRow("OLE1") << "QWidget" << QRect(120, 120, 5295, 3015) << none << 8.0;
    QTest::newRow("Label6") << "QLabel" << QRect(6240, 120, 3615, 2535) << label6 << 12.0;
    QTest::newRow("Label1") << "QLabel" << QRect(480, 3720, 1695, 375) << "PUNTI:      A" << 8.0;
    QTest::newRow("Label2") << "QLabel" << QRect(1320, 4440, 735, 255) << "B" << 8.0;
    QTest::newRow("Label3") << "QLabel" << QRect(1320, 5040, 855, 255) << "C" << 8.0;
    QTest::newRow("Label4") << "QLabel" << QRect(1320, 5640, 855, 255) << "D" << 8.0;
    QTest::newRow("Label5") << "QLabel" << QRect(1320, 6240, 855, 255) << "E" << 8.0;
    QTest::newRow("Text1") << "QLineEdit" << QRect(2520, 3720, 735, 495) << "15" << 8.0;
    QTest::newRow("Text2") << "QLineEdit" << QRect(3720, 3720, 615, 495) << "15" << 8.0;
    QTest::newRow("Text3") << "QLineEdit" << QRect(2520, 4320, 735, 495) << "60" << 8.0;
    QTest::newRow("Text4") << "QLineEdit" << QRect(3720, 4320, 615, 495) << "70" << 8.0;
    QTest::newRow("Text5") << "QLineEdit" << QRect(2520, 4920, 735, 495) << "140" << 8.0;
    QTest::newRow("Text6") << "QLineEdit" << QRect(3720, 4920, 615, 495) << "20" << 8.0;
    QTest::newRow("Text7") << "QLineEdit" << QRect(2520, 5520, 735, 495) << "188" << 8.0;
    QTest::newRow("Text8") << "QLineEdit" << QRect(3720, 5520, 615, 495) << "40" << 8.0;
    QTest::newRow("Text9") << "QLineEdit" << QRect(2520, 6120, 735, 495) << "150" << 8.0;
    QTest::newRow("Text10") << "QLineEdit" << QRect(3720, 6120, 615, 495) << "90" << 8.0;
    QTest::newRow("Command3") << "QPushButton" << QRect(4560, 4800, 1455, 735) << "===>>" << 18.0;
    QTest::newRow("Picture1") << "DrawingSurface" << QRect(6120, 3240, 4815, 4335) << none << 8.0;
    QTest::newRow("Command1") << "QPushButton" << QRect(120, 6840, 1695, 615) << "ESCI" << 8.0;
    QTest::newRow("Command2") << "QPushButton" << QRect(3240, 6840, 1575, 615) << "AVANTI" << 8.0;
}

void tst_Form3::layout()
{
    QFETCH(QString, kind);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(qreal, pointSize);

    auto *widget = control<QWidget>(shownForm3(), QTest::currentDataTag());
    QVERIFY(widget->inherits(qPrintable(kind)));
    QCOMPARE(widget->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(widget->font().family(), "MS Sans Serif");
    QCOMPARE(widget->font().pointSizeF(), pointSize);
    QVERIFY(!widget->font().bold());
    if (!text.isNull())
        QCOMPARE(widget->property("text").toString(), text);
}

void tst_Form3::window()
{
    Form3 *form = shownForm3();
    QCOMPARE(form->windowTitle(), "Form3");
    QCOMPARE(form->size(), QSize(805, 610));
    QVERIFY(control<QLabel>(form, "Label6")->wordWrap());

    const QList<QLabel *> inDocument = control<QWidget>(form, "OLE1")->findChildren<QLabel *>();
    QVERIFY(std::any_of(inDocument.cbegin(), inDocument.cend(), [](QLabel *label) {
        return label->text() == "A,B,C,D,E, sono  i punti base della curva.";
    }));
    QVERIFY(std::any_of(inDocument.cbegin(), inDocument.cend(),
                        [](QLabel *label) { return !label->pixmap().isNull(); }));
}

void tst_Form3::tabOrder()
{
    Form3 *form = shownForm3();
    QVERIFY(QTest::qWaitForWindowActive(form));
    control<QLineEdit>(form, "Text1")->setFocus();

    QStringList visited;
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited,
             QStringList({"Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9",
                          "Text10", "Command1", "Command2", "Picture1", "Command3", "Text1"}));
}

void tst_Form3::valuesChangeOnlyOnPress()
{
    // Read as the editor reads them: the window comes into being unseen, its values empty.
    Form3 *form = app::form3();
    QVERIFY(!form->isVisible());
    for (const auto &[name, value] : boxes) {
        QVERIFY2((form->*value)().isUnset(), name);
        QCOMPARE((form->*value)().toText(), QString());
    }

    MessageAnswerer answerer;
    app::show(form);
    type(form, "Text1", "abc");
    click(form, "Command2");
    QVERIFY(form->X1().isUnset());

    click(form, "Command3");
    QCOMPARE(form->X1(), Variant::real(0));
    type(form, "Text1", "7");
    click(form, "Command2");
    QCOMPARE(form->X1(), Variant::real(0));
    QCOMPARE(answerer.texts(), QStringList{"AX non è un numero"});
}

void tst_Form3::check_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // none when empty
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("boxAfter");

    QTest::newRow("defaults") << "Text1"
                              << "15"
                              << "" << 15.0 << "15";
    QTest::newRow("A x empty") << "Text1"
                               << ""
                               << "AX non è un numero" << 0.0 << "0";
    QTest::newRow("A y blanks only") << "Text2"
                                     << "   "
                                     << "AY non è un numero" << 0.0 << "0";
    QTest::newRow("C y letters") << "Text6"
                                 << "abc"
                                 << "CY non è un numero" << 0.0 << "0";
    QTest::newRow("C x inf") << "Text5"
                             << "inf"
                             << "CX non è un numero" << 0.0 << "0";
    QTest::newRow("D x nan") << "Text7"
                             << "nan"
                             << "DX non è un numero" << 0.0 << "0";
    QTest::newRow("E y overflow") << "Text10"
                                  << "1e400"
                                  << "EY non è un numero" << 0.0 << "0";
    QTest::newRow("B x decimal point") << "Text3"
                                       << "12.5"
                                       << "BX non è un numero" << 0.0 << "0";
    QTest::newRow("B y negative") << "Text4"
                                  << "-20"
                                  << "" << -20.0 << "-20";
    QTest::newRow("B x kept as typed") << "Text3"
                                       << " +12,50 "
                                       << "" << 12.5 << " +12,50 ";
    QTest::newRow("E x grouped") << "Text9"
                                 << "1.500"
                                 << "" << 1500.0 << "1.500";
    QTest::newRow("D y huge") << "Text8"
                              << "-1e308"
                              << "" << -1e308 << "-1e308";
}

void tst_Form3::check()
{
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(double, value);
    QFETCH(QString, boxAfter);

    Form3 *form = shownForm3();
    type(form, boxName, typed);
    MessageAnswerer answerer;
    click(form, "Command3");

    QCOMPARE(answerer.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(answerer.iconless(), answerer.texts().size());
    QCOMPARE(control<QLineEdit>(form, qPrintable(boxName))->text(), boxAfter);
    // The other nine read their default boxes.
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto &[name, getter] = boxes[i];
        const double expected = boxName == QLatin1String(name) ? value
                                : i % 2 == 0                   ? defaults[i / 2].x()
                                                               : defaults[i / 2].y();
        QCOMPARE((form->*getter)(), Variant::real(expected));
    }
}

void tst_Form3::messageOrder_data()
{
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<Lines>("drawn"); // at Incr 0.75: 300 x 225

    QTest::newRow("A x and D y") << Edits{{"Text1", ""}, {"Text8", "x"}}
                                 << QStringList{"AX non è un numero", "DY non è un numero"}
                                 << chords({{{0, 15}, {60, 70}, {140, 20}, {188, 0}, {150, 90}}},
                                           225);

    Edits allBad;
    for (const auto &[name, value] : boxes)
        allBad[name] = "?";
    QStringList all;
    for (const char *name : {"AX", "AY", "BX", "BY", "CX", "CY", "DX", "DY", "EX", "EY"})
        all << QString("%1 non è un numero").arg(QLatin1String(name));
    // Every chord collapses onto the bottom-left corner.
    QTest::newRow("all ten") << allBad << all << Lines(4, QLineF(0, 225, 0, 225));
}

void tst_Form3::messageOrder()
{
    QFETCH(Edits, edits);
    QFETCH(QStringList, messages);
    QFETCH(Lines, drawn);

    calibrate(0.75);
    Form3 *form = shownForm3();
    typeAll(form, edits);
    MessageAnswerer answerer;
    click(form, "Command3");

    QCOMPARE(answerer.texts(), messages);
    for (auto it = edits.cbegin(); it != edits.cend(); ++it)
        QCOMPARE(control<QLineEdit>(form, qPrintable(it.key()))->text(), "0");
    verifyLines(pictureImage(form), drawn, {300, 225});
}

void tst_Form3::messagesOverPreviousDrawing()
{
    calibrate(0.75);
    Form3 *form = shownForm3();
    click(form, "Command3");
    const QImage before = pictureImage(form);

    type(form, "Text5", "");
    bool unchanged = false;
    MessageAnswerer answerer([&](QMessageBox *) { unchanged = pictureImage(form) == before; });
    click(form, "Command3");

    QCOMPARE(answerer.texts(), QStringList{"CX non è un numero"});
    QVERIFY(unchanged);
    QVERIFY(pictureImage(form) != before);
}

void tst_Form3::preview_data()
{
    QTest::addColumn<double>("incr");
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<Lines>("drawn"); // user units, y downwards, on a scale 300 wide

    auto with = [](std::size_t index, QPointF point) {
        auto changed = defaults;
        changed[index] = point;
        return changed;
    };
    QTest::newRow("defaults, one step") << 0.55 << Edits{} << chords(defaults, 165);
    QTest::newRow("defaults") << 0.75 << Edits{} << chords(defaults, 225);
    QTest::newRow("B above the top edge")
        << 0.75 << Edits{{"Text4", "250"}} << chords(with(1, {60, 250}), 225);
    QTest::newRow("B below the bottom edge")
        << 0.75 << Edits{{"Text4", "-20"}} << chords(with(1, {60, -20}), 225);
    QTest::newRow("D beyond the right edge")
        << 0.75 << Edits{{"Text7", "400"}} << chords(with(3, {400, 40}), 225);

    // A far point's chords run to the edge straight from the near point.
    const Lines tail = chords(defaults, 225).mid(2);
    QTest::newRow("B x 1e30") << 0.75 << Edits{{"Text3", "1e30"}}
                              << Lines{{15, 210, 300, 210}, {300, 205, 140, 205}} + tail;
    QTest::newRow("B y 1e308") << 0.75 << Edits{{"Text4", "1e308"}}
                               << Lines{{15, 210, 15, 0}, {140, 0, 140, 205}} + tail;
    QTest::newRow("B y -1e308") << 0.75 << Edits{{"Text4", "-1e308"}}
                                << Lines{{15, 210, 15, 225}, {140, 225, 140, 205}} + tail;
}

void tst_Form3::preview()
{
    QFETCH(double, incr);
    QFETCH(Edits, edits);
    QFETCH(Lines, drawn);

    calibrate(incr);
    Form3 *form = shownForm3();
    typeAll(form, edits);
    MessageAnswerer answerer;
    click(form, "Command3");

    QCOMPARE(answerer.texts(), QStringList());
    const auto *picture = control<DrawingSurface>(form, "Picture1");
    QCOMPARE(picture->ScaleWidth(), 300.0f);
    QCOMPARE(picture->ScaleHeight(), static_cast<float>(300 * incr));
    verifyLines(pictureImage(form), drawn, {300, 300 * incr});
}

void tst_Form3::previewStates()
{
    calibrate(0.75);
    Form3 *form = shownForm3();
    auto *picture = control<DrawingSurface>(form, "Picture1");
    verifyLines(pictureImage(form), {}, {300, 225});

    // Before any press the points are empty: chord AB is a dot in the bottom-left corner.
    {
        MessageAnswerer answerer;
        QTest::mouseClick(picture, Qt::LeftButton);
        QCOMPARE(answerer.texts(), QStringList{"bhoo0"});
        verifyLines(pictureImage(form), {{0, 750, 0, 750}}, {1000, 750});
    }

    click(form, "Command3");
    verifyLines(pictureImage(form), chords(defaults, 225), {300, 225});

    // Chord AB alone at the smaller scale, from the values: the boxes are not read.
    type(form, "Text1", "100");
    {
        MessageAnswerer answerer;
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(300, 20));
        QCOMPARE(answerer.texts(), QStringList{"bhoo0"});
    }
    QCOMPARE(picture->ScaleWidth(), 1000.0f);
    QCOMPARE(picture->ScaleHeight(), 750.0f);
    verifyLines(pictureImage(form), {{15, 735, 60, 680}}, {1000, 750});

    click(form, "Command3");
    verifyLines(pictureImage(form),
                chords({{{100, 15}, {60, 70}, {140, 20}, {188, 40}, {150, 90}}}, 225), {300, 225});
}

QTEST_MAIN(tst_Form3)
#include "tst_form3.moc"
