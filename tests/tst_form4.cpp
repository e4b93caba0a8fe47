#include "app/form1.h"
#include "app/settings.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "common/vectorstate.h"
#include "editor/curve/arcwalks.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>

#include <algorithm>
#include <cmath>

// The curve editor window: its controls, its redraw and what each control does.
class tst_Form4 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void layout_data();
    void layout();
    void controls();
    void incrementChecks_data();
    void incrementChecks();
    void activation_data();
    void activation();
    void eseguiClearsActivationDoesNot();
    void barBendsTheSelectedSegment_data();
    void barBendsTheSelectedSegment();
    void pageStepsStopAtTheMinimum();
    void reset_data();
    void reset();
    void helpLeavesTheEditorUntouched();
    void farBasePoint();
    void parallelRedrawEqualsSerial();
    void dragBendsLiveAndEndsAsAChange();
    void calibrationBarFiresOncePerRelease();
    void typedValuesBesideTheBars();
    void joinsPanelFollowsTheCurve();
    void smoothingIsOneStep();
};

namespace {

const QStringList untouchedRow = {"0", "0", "1", "1"};

template <typename T = QWidget> T *in(const char *name)
{
    return control<T>(app::form4(), name);
}

void choose(int option)
{
    QTest::mouseClick(in(qPrintable(QStringLiteral("Option%1").arg(option))), Qt::LeftButton);
}

// The drawing alone, at the window's size.
QImage drawing(const Form4 *form)
{
    return form->image().copy(QRect(QPoint(0, 0), form->size() * form->devicePixelRatio()));
}

// A green dot where the plot never goes: only a redraw that clears removes it.
void mark(Form4 *form)
{
    form->setDrawWidth(3);
    form->PSet(form->ScaleWidth() * 0.95, form->ScaleHeight() * 0.05, DrawingSurface::QBColor(10));
}

bool isMarked(const Form4 *form)
{
    return countPixels(drawing(form), qRgb(0, 255, 0)) > 0;
}

} // namespace

void tst_Form4::layout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("inside");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");

    struct Row
    {
        const char *name, *kind, *inside;
        int left, top, width, height;
        const char *caption;
    };
    // Every control in tab order, places in twips; the scale captions and the legend are
    // checked apart.
    const Row rows[] = {
        {"Command1", "QPushButton", "Form4", 5400, 6480, 1935, 495, "ESEGUI"},
        {"Command3", "QPushButton", "Form4", 240, 6600, 1935, 255, "ESCI"},
        {"Frame3", "QGroupBox", "Form4", 240, 3840, 7095, 855, "SPOSTAMENTO ORIZZONTALE"},
        {"HScroll1", "QScrollBar", "Frame3", 120, 480, 5295, 255, ""},
        {"Label6", "QLabel", "Frame3", 120, 240, 5535, 255, nullptr},
        {"Text6", "QLineEdit", "Frame3", 5520, 360, 615, 375, "0"},
        {"Frame4", "QGroupBox", "Form4", 240, 2760, 7095, 855, "SPOSTAMENTO VERTICALE"},
        {"HScroll2", "QScrollBar", "Frame4", 120, 480, 5295, 255, ""},
        {"Text7", "QLineEdit", "Frame4", 5520, 360, 615, 375, "0"},
        {"Label7", "QLabel", "Frame4", 120, 240, 5535, 255, nullptr},
        {"Text9", "QLineEdit", "Form4", 4920, 5400, 375, 375, "5"},
        {"Label9", "QLabel", "Form4", 3600, 5400, 1215, 375, "Incremento dei Punti-Curva"},
        {"Command4", "QPushButton", "Frame4", 6240, 240, 735, 495, "Azzera"},
        {"Command5", "QPushButton", "Frame3", 6240, 240, 735, 495, "Azzera"},
        {"Frame5", "QGroupBox", "Form4", 480, 5160, 2055, 1095, "INCREMENTO DI ALFA"},
        {"Label10", "QLabel", "Frame5", 240, 240, 1695, 255, "Verticale"},
        {"Text10", "QLineEdit", "Frame5", 1560, 240, 375, 285, "1"},
        {"Label11", "QLabel", "Frame5", 240, 600, 855, 375, "Orizzontale"},
        {"Text11", "QLineEdit", "Frame5", 1560, 600, 375, 285, "1"},
        {"Command6", "QPushButton", "Form4", 6600, 5400, 735, 615, "?"},
        {"Frame1", "QGroupBox", "Form4", 360, 360, 1455, 2175, "SEGMENTI"},
        {"Option1", "QRadioButton", "Frame1", 240, 360, 1095, 255, "AB"},
        {"Option2", "QRadioButton", "Frame1", 240, 720, 1095, 375, "BC"},
        {"Option3", "QRadioButton", "Frame1", 240, 1200, 1095, 375, "CD"},
        {"Option4", "QRadioButton", "Frame1", 240, 1680, 1095, 375, "DE"},
        {"Command7", "QPushButton", "Form4", 2400, 6360, 2775, 615, "Modifica i PUNTI"},
        {"Label1", "QLabel", "Form4", 1440, 7200, 4935, 495,
         "Gli spostamenti e gli incrementi sono riferiti a ciascun segmento indicato e vanno "
         "modificati ad ogni cambiamento di segmento "},
        {"Text1", "QLineEdit", "Form4", 2160, 600, 615, 375, "0"},
        {"Text3", "QLineEdit", "Form4", 3840, 600, 615, 375, "1"},
        {"Text4", "QLineEdit", "Form4", 4680, 600, 615, 375, "1"},
        {"Text5", "QLineEdit", "Form4", 2160, 1080, 615, 375, "0"},
        {"Text8", "QLineEdit", "Form4", 3000, 1080, 615, 375, "0"},
        {"Text12", "QLineEdit", "Form4", 3840, 1080, 615, 375, "1"},
        {"Text13", "QLineEdit", "Form4", 4680, 1080, 615, 375, "1"},
        {"Text14", "QLineEdit", "Form4", 2160, 1560, 615, 375, "0"},
        {"Text15", "QLineEdit", "Form4", 3000, 1560, 615, 375, "0"},
        {"Text16", "QLineEdit", "Form4", 3840, 1560, 615, 375, "1"},
        {"Text17", "QLineEdit", "Form4", 4680, 1560, 615, 375, "1"},
        {"Text18", "QLineEdit", "Form4", 2160, 2040, 615, 375, "0"},
        {"Text19", "QLineEdit", "Form4", 3000, 2040, 615, 375, "0"},
        {"Text20", "QLineEdit", "Form4", 3840, 2040, 615, 375, "1"},
        {"Text21", "QLineEdit", "Form4", 4680, 2040, 615, 375, "1"},
        {"Label2", "QLabel", "Form4", 2280, 240, 495, 255, "SP.V"},
        {"Label3", "QLabel", "Form4", 3120, 240, 615, 255, "SP.O"},
        {"Label4", "QLabel", "Form4", 3840, 240, 615, 255, "ALF.V"},
        {"Label5", "QLabel", "Form4", 4680, 240, 495, 255, "ALF.O"},
        {"Text22", "QPlainTextEdit", "Form4", 5400, 600, 2655, 1815, nullptr},
        {"Text2", "QLineEdit", "Form4", 3000, 600, 615, 375, "0"},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.kind << row.inside
                                << QRect(row.left, row.top, row.width, row.height)
                                << (row.caption ? QString::fromUtf8(row.caption) : QString());
}

void tst_Form4::layout()
{
    QFETCH(QString, kind);
    QFETCH(QString, inside);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);

    Form4 *form = app::form4();
    QWidget *widget = control<QWidget>(form, QTest::currentDataTag());
    QVERIFY(widget->inherits(qPrintable(kind)));
    QCOMPARE(widget->parentWidget()->objectName(), inside);
    QCOMPARE(widget->geometry(),
             QRect(twips.left() / 15, twips.top() / 15, twips.width() / 15, twips.height() / 15));
    if (caption.isNull())
        return;
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), caption);
    else if (auto *box = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(box->text(), caption);
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(frame->title(), caption);
}

void tst_Form4::controls()
{
    Form4 *form = app::form4();
    QVERIFY(form->isWindow());
    QCOMPARE(form->windowTitle(), QStringLiteral("Form4"));
    QVERIFY(form->windowState().testFlag(Qt::WindowMaximized));
    const QRegularExpression controlName("^(Command|Text|Label|Frame|Option|HScroll)\\d+$");
    const QList<QWidget *> children = form->findChildren<QWidget *>();
    QCOMPARE(
        std::count_if(children.cbegin(), children.cend(),
                      [&](QWidget *w) { return controlName.match(w->objectName()).hasMatch(); }),
        48);

    // Fonts of their own; the rest take the window's small sans-serif.
    for (const auto &[name, points, bold] : {std::tuple{"Text6", 12.0, true},
                                             {"Text7", 12.0, true},
                                             {"Command6", 13.5, true},
                                             {"Text1", 8.0, false},
                                             {"Label9", 8.0, false}}) {
        const QFont font = in(name)->font();
        QVERIFY2(font.pointSizeF() == points && font.bold() == bold, name);
    }
    // The scale captions stay on one line, ends whole; Label9 wraps onto two.
    const QString vertical = "-500" + QString(51, u' ') + "0" + QString(51, u' ') + "+500";
    const QString horizontal = "-850" + QString(51, u' ') + "0" + QString(50, u' ') + "+850";
    for (const auto &[name, text] : {std::pair{"Label7", vertical}, {"Label6", horizontal}}) {
        auto *label = in<QLabel>(name);
        QCOMPARE(label->text(), text);
        QVERIFY(!label->wordWrap() &&
                label->fontMetrics().horizontalAdvance(text) <= label->width());
        // Every character shows: no ink of the caption lies under the bar or the box above it.
        const QImage ink = label->grab().toImage();
        int covered = 0;
        for (int y = 0; y < ink.height(); ++y)
            for (int x = 0; x < ink.width(); ++x)
                if (qGray(ink.pixel(x, y)) < 128)
                    for (QObject *sibling : label->parent()->children())
                        if (sibling != label && sibling->isWidgetType() &&
                            static_cast<QWidget *>(sibling)->geometry().contains(
                                label->mapToParent(QPoint(x, y) / ink.devicePixelRatio())))
                            ++covered;
        QVERIFY2(covered == 0, qPrintable(QStringLiteral("%1: %2").arg(name).arg(covered)));
    }
    QVERIFY(in<QLabel>("Label9")->wordWrap());
    // Under their bars and boxes, and the frame's border runs whole beneath them.
    for (const auto &[frameName, names] :
         {std::pair{"Frame4", std::array{"Label7", "HScroll2", "Text7"}},
          {"Frame3", std::array{"Label6", "HScroll1", "Text6"}}}) {
        auto *frame = in(frameName);
        const QObjectList stack = frame->children();
        QVERIFY(stack.indexOf(in(names[0])) < stack.indexOf(in(names[1])) &&
                stack.indexOf(in(names[0])) < stack.indexOf(in(names[2])));
        const QRect caption = in(names[0])->geometry();
        in(names[0])->hide();
        const QImage bare = frame->grab().toImage();
        in(names[0])->show();
        const QImage shown = frame->grab().toImage();
        // The border's line is the darkest row the caption spans above the bar.
        int border = caption.top();
        for (int y = caption.top(); y < in(names[1])->y(); ++y)
            if (qGray(bare.pixel(caption.left(), y)) < qGray(bare.pixel(caption.left(), border)))
                border = y;
        int kept = 0;
        for (int x = caption.left(); x < in(names[2])->x(); ++x)
            kept += shown.pixel(x, border) == bare.pixel(x, border);
        QVERIFY2(qGray(bare.pixel(caption.left(), border)) < 224 &&
                     kept > (in(names[2])->x() - caption.left()) * 9 / 10,
                 frameName);
    }
    QCOMPARE(in<QPlainTextEdit>("Text22")->toPlainText(),
             "SP.V=Spostamento verticale\nSP.O=Spostamento orizzontale\n"
             "ALF.V=Incremento ALFA verticale\nALF.O=Incremento ALFA orizz." +
                 QString(10, u' ') + "\n" + QString(43, u' ') +
                 "\nI DATI finali serviranno per \nformare la curva in altra sede\n");
    QCOMPARE(in("Frame3")->toolTip(), QStringLiteral("LargeChange =50; SmallChange =1"));
    QCOMPARE(in("Frame4")->toolTip(), QStringLiteral("LargeChange = 50; SmallChange =1"));
    for (const auto &[name, limit] : {std::pair{"HScroll1", 1000}, {"HScroll2", 500}}) {
        auto *bar = in<QScrollBar>(name);
        QCOMPARE(bar->orientation(), Qt::Horizontal);
        QCOMPARE((QList<int>{bar->minimum(), bar->maximum(), bar->value(), bar->singleStep(),
                             bar->pageStep()}),
                 (QList<int>{-limit, limit, 0, 1, 50}));
        QVERIFY(bar->hasTracking()); // live bending
    }
    for (const char *option : {"Option1", "Option2", "Option3", "Option4"})
        QVERIFY(!in<QRadioButton>(option)->isChecked());

    openEditor();
    QVERIFY(form->windowState().testFlag(Qt::WindowMaximized));
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(QApplication::focusWidget(), in("Command1"));
    const QStringList tabOrder = {
        "Command1", "Command3", "HScroll1", "Text6",  "HScroll2", "Text7",   "Text9",
        "Command4", "Command5", "Text10",   "Text11", "Command6", "Option1", "Option2",
        "Option3",  "Option4",  "Command7", "Text1",  "Text3",    "Text4",   "Text5",
        "Text8",    "Text12",   "Text13",   "Text14", "Text15",   "Text16",  "Text17",
        "Text18",   "Text19",   "Text20",   "Text21", "Text22",   "Text2"};
    QStringList chain;
    for (QWidget *w = in("Command1"); chain.isEmpty() || w != in("Command1");
         w = w->nextInFocusChain()) {
        if (controlName.match(w->objectName()).hasMatch() && (w->focusPolicy() & Qt::TabFocus))
            chain << w->objectName();
    }
    QCOMPARE(chain, tabOrder);

    choose(2);
    choose(4);
    QVERIFY(!in<QRadioButton>("Option2")->isChecked());
}

void tst_Form4::incrementChecks_data()
{
    QTest::addColumn<QStringList>("typed");    // Text9, Text10, Text11
    QTest::addColumn<QStringList>("messages"); // in the order they appear
    QTest::addColumn<QStringList>("boxes");    // Text9, Text10, Text11 afterwards

    QTest::newRow("accepted") << QStringList{"2", "2,5", "-2"} << QStringList{}
                              << QStringList{"2", "2,5", "-2"};
    QTest::newRow("all three bad")
        << QStringList{"x", "0", ""}
        << QStringList{"INST non è un numero", "Non è ammesso 0 ", "AVX non è un numero"}
        << QStringList{"1", "1", "1"};
    QTest::newRow("points increment above 1000")
        << QStringList{"1000,5", "1", "1"} << QStringList{"Il massimo ammesso è 1000"}
        << QStringList{"1000", "1", "1"};
}

void tst_Form4::incrementChecks()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, boxes);

    Form4 *form = openEditor();
    choose(2);
    retype(app::form4(), "Text9", typed[0]);
    retype(app::form4(), "Text10", typed[1]);
    retype(app::form4(), "Text11", typed[2]);
    // The redraw waits behind each box: no arc is drawn while one is open.
    int arcPixelsWhileOpen = 0;
    MessageAnswerer answerer(
        [&](QMessageBox *) { arcPixelsWhileOpen += countPixels(drawing(form), darkRed); });
    click(form, "Command1");

    QCOMPARE(answerer.texts(), messages);
    QCOMPARE(arcPixelsWhileOpen, 0);
    QVERIFY(countPixels(drawing(form), darkRed) > 0);
    QCOMPARE((QStringList{in<QLineEdit>("Text9")->text(), in<QLineEdit>("Text10")->text(),
                          in<QLineEdit>("Text11")->text()}),
             boxes);
    const CurrentParameters &current = form->current();
    for (const auto &[value, box] :
         {std::pair{current.INST, boxes[0]}, {current.AVY, boxes[1]}, {current.AVX, boxes[2]}})
        QCOMPARE(value.toDouble(), QLocale().toDouble(box));
    // The selected segment BC was drawn with what the checks left.
    QCOMPARE(gridRow(1), (QStringList{"0", "0", boxes[1], boxes[2]}));
}

void tst_Form4::activation_data()
{
    QTest::addColumn<int>("calibration"); // Form2's bar
    QTest::addColumn<float>("scaleHeight");
    QTest::addColumn<float>("CY");

    QTest::newRow("never calibrated: 0.51") << 1 << 510.f << 305.f;
    QTest::newRow("0.55") << 2 << 550.f << 325.f;
    QTest::newRow("0.75") << 12 << 750.f << 425.f;
}

void tst_Form4::activation()
{
    QFETCH(int, calibration);
    QFETCH(float, scaleHeight);
    QFETCH(float, CY);

    control<QScrollBar>(app::form2(), "HScroll1")->setValue(calibration);
    Form4 *form = app::form4();
    app::show(form); // the picture of the activation alone
    QCOMPARE(form->ScaleWidth(), 1000.f);
    QCOMPARE(form->ScaleHeight(), scaleHeight);
    for (int segment = 0; segment < 4; ++segment)
        QCOMPARE(gridRow(segment), untouchedRow);

    // The vertical axis at CX 430 spans the height, the horizontal one at CY runs from it to
    // the right edge only; without base points every arc sits where they cross.
    const QImage image = drawing(form);
    const QPoint origin = form->userScale().toPixel({430, CY}).toPoint();
    auto near = [&image](int x, int y, QRgb colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (image.rect().contains(x + dx, y + dy) &&
                    image.pixel(x + dx, y + dy) == (colour | 0xff000000))
                    return true;
        return false;
    };
    const QRgb black = qRgb(0, 0, 0);
    QVERIFY(near(origin.x(), 1, black) && near(origin.x(), image.height() - 2, black));
    QVERIFY(near(origin.x() + 50, origin.y(), black) && near(image.width() - 2, origin.y(), black));
    QVERIFY(!near(origin.x() - 50, origin.y(), black));
    QCOMPARE(image.pixel(origin), darkRed | 0xff000000);
}

void tst_Form4::eseguiClearsActivationDoesNot()
{
    Form4 *form = openEditor();
    choose(1);
    scrollAction(form, "HScroll2", QAbstractSlider::SliderPageStepAdd, 4);
    mark(form);
    click(form, "Command1");
    QVERIFY(!isMarked(form));
    const QImage once = drawing(form);
    click(form, "Command1");
    QCOMPARE(drawing(form), once);

    // Coming back from the start window redraws AB with the new ALFA over the old picture.
    mark(form);
    retype(app::form4(), "Text10", "3");
    app::show(app::form1());
    app::show(form);
    QVERIFY(isMarked(form));
    QCOMPARE(gridRow(0), (QStringList{"200", "0", "3", "1"}));
    QVERIFY(countPixels(drawing(form), darkRed) > countPixels(once, darkRed));
}

void tst_Form4::barBendsTheSelectedSegment_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("value");

    QTest::newRow("vertical arrow right, AB")
        << "HScroll2" << 1 << int(QAbstractSlider::SliderSingleStepAdd) << "1";
    QTest::newRow("horizontal track left, CD")
        << "HScroll1" << 3 << int(QAbstractSlider::SliderPageStepSub) << "-50";
}

void tst_Form4::barBendsTheSelectedSegment()
{
    QFETCH(QString, bar);
    QFETCH(int, option);
    QFETCH(int, action);
    QFETCH(QString, value);

    Form4 *form = openEditor();
    choose(option);
    mark(form);
    scrollAction(form, qPrintable(bar), QAbstractSlider::SliderAction(action));

    const bool vertical = bar == u"HScroll2";
    QCOMPARE(in<QLineEdit>(vertical ? "Text7" : "Text6")->text(), value);
    QVERIFY(!isMarked(form));
    QStringList bent = untouchedRow;
    bent[vertical ? 0 : 1] = value;
    for (int segment = 0; segment < 4; ++segment)
        QCOMPARE(gridRow(segment), segment == option - 1 ? bent : untouchedRow);

    // Another segment takes the same values at the next redraw, not at its choice.
    const int next = option % 4 + 1;
    choose(next);
    QCOMPARE(gridRow(next - 1), untouchedRow);
    click(form, "Command1");
    QCOMPARE(gridRow(next - 1), bent);
}

void tst_Form4::pageStepsStopAtTheMinimum()
{
    Form4 *form = openEditor();
    scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepSub, 20);
    QCOMPARE(in<QLineEdit>("Text6")->text(), QStringLiteral("-1000"));

    mark(form);
    QSignalSpy changes(in<QScrollBar>("HScroll1"), &QScrollBar::valueChanged);
    scrollAction(form, "HScroll1", QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(changes.count(), 0);
    QVERIFY(isMarked(form));
}

void tst_Form4::reset_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<int>("steps"); // page steps before the reset
    QTest::addColumn<int>("redraws");

    QTest::newRow("vertical at 0") << "Command4"
                                   << "HScroll2"
                                   << "Text7" << 0 << 1;
    QTest::newRow("vertical at 100") << "Command4"
                                     << "HScroll2"
                                     << "Text7" << 2 << 2;
    QTest::newRow("horizontal at -150") << "Command5"
                                        << "HScroll1"
                                        << "Text6" << -3 << 2;
}

void tst_Form4::reset()
{
    QFETCH(QString, button);
    QFETCH(QString, bar);
    QFETCH(QString, readout);
    QFETCH(int, steps);
    QFETCH(int, redraws);

    Form4 *form = openEditor();
    auto *scrollBar = in<QScrollBar>(qPrintable(bar));
    choose(3);
    scrollAction(form, qPrintable(bar),
                 steps > 0 ? QAbstractSlider::SliderPageStepAdd
                           : QAbstractSlider::SliderPageStepSub,
                 std::abs(steps));
    mark(form);

    // Each message puts a bad entry back into the other box, so that every redraw reports
    // both: the INST messages count the redraws.
    retype(app::form4(), "Text9", "x");
    MessageAnswerer answerer([](QMessageBox *box) {
        in<QLineEdit>(box->text().startsWith(u"INST") ? "Text10" : "Text9")->setText("x");
    });
    QSignalSpy changes(scrollBar, &QScrollBar::valueChanged);
    click(form, qPrintable(button));

    QCOMPARE(int(answerer.texts().count(QStringLiteral("INST non è un numero"))), redraws);
    QCOMPARE(changes.count(), redraws - 1);
    QCOMPARE(scrollBar->value(), 0);
    QCOMPARE(in<QLineEdit>(qPrintable(readout))->text(), QStringLiteral("0"));
    QCOMPARE(gridRow(2), untouchedRow);
    // Only the bar's move clears; the reset's own redraw goes over what is there.
    QCOMPARE(isMarked(form), redraws == 1);
    QVERIFY(countPixels(drawing(form), darkRed) > 0);
}

void tst_Form4::helpLeavesTheEditorUntouched()
{
    Form4 *form = openEditor();
    choose(1);
    scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepAdd, 2);
    const QImage before = drawing(form);

    click(form, "Command6");
    QVERIFY(QTest::qWaitForWindowActive(app::form1()));
    QVERIFY(form->isVisible());
    QCOMPARE(drawing(form), before);
    QCOMPARE(gridRow(0), (QStringList{"0", "100", "1", "1"}));
}

void tst_Form4::farBasePoint()
{
    // B far beyond what a float holds: the chords AB and BC are clipped at the window's right
    // edge, the arcs AB and BC end before their first point, CD and DE are drawn as ever.
    auto *bx = control<QLineEdit>(app::form3(), "Text3");
    bx->setText("1e300");
    click(app::form3(), "Command3");
    Form4 *form = openEditor();
    const QImage image = drawing(form);
    QVERIFY(form->arcs()[0].empty());
    QVERIFY(form->arcs()[1].empty());

    const UserScale scale = form->userScale();
    const double CX = float(form->ScaleWidth() / 2 - 70);
    const double CY = float(form->ScaleHeight() / 2 + 50);
    // At the heights of A (15) and C (20) the chords to B run level into the right edge.
    for (const double y : {15.0, 20.0}) {
        const int row = int(scale.toPixel(QPointF(0, CY - y)).y());
        int black = 0;
        for (int r = row - 1; r <= row + 1; ++r)
            black += image.pixel(image.width() - 1, r) == qRgb(0, 0, 0);
        QVERIFY2(black > 0, qPrintable(QStringLiteral("no chord at the edge at y %1").arg(y)));
    }
    for (const std::size_t segment : {2u, 3u}) {
        const std::vector<ArcPoint> &arc = form->arcs()[segment];
        QVERIFY(arc.size() > 100);
        for (const ArcPoint &walked : {arc.front(), arc[arc.size() / 2], arc.back()}) {
            const QPointF p = walked.point;
            const QPointF pixel =
                scale.toPixel(QPointF(float(p.x() + CX), float(CY - p.y()))) - QPointF(0.5, 0.5);
            QCOMPARE(image.pixel(int(std::floor(pixel.x())), int(std::floor(pixel.y()))), darkRed);
        }
    }
    QCOMPARE(gridRow(3), untouchedRow);
}

namespace {

// What a redraw leaves for the user: the drawing, the displacement boxes, the grid, the arcs.
struct EditorState
{
    QImage drawing;
    QStringList boxes;
    std::array<std::vector<ArcPoint>, 4> arcs;

    bool operator==(const EditorState &) const = default;
};

EditorState editorState(Form4 *form)
{
    EditorState state{drawingOf(form), {}, form->arcs()};
    for (const char *name : {"Text6", "Text7"})
        state.boxes << in<QLineEdit>(name)->text();
    for (int segment = 0; segment < 4; ++segment)
        state.boxes << gridRow(segment);
    return state;
}

} // namespace

void tst_Form4::parallelRedrawEqualsSerial()
{
    // The same actions at the largest points increment, with every segment bent, walked on one
    // thread and on four, and on one from a dirty vector state left as it is: the same pixels,
    // readout and points.
    auto bendAll = [](int threads, bool clearing = true) {
        setArcWalkThreads(threads);
        upperVectorStateClearing = clearing;
        Form4 *form = openEditor();
        retype(app::form4(), "Text9", "1000");
        retype(app::form4(), "Text10", "3");
        for (int option = 1; option <= 4; ++option) {
            choose(option);
            scrollAction(form, "HScroll2", QAbstractSlider::SliderPageStepAdd, option);
            scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepSub, 5 - option);
        }
        dirtyUpperVectorState();
        click(form, "Command1");
        const EditorState state = editorState(form);
        app::destroyWindows();
        return state;
    };
    const EditorState serial = bendAll(1);
    const EditorState parallel = bendAll(4);
    const EditorState unclearedSerial = bendAll(1, false);
    upperVectorStateClearing = true;
    setArcWalkThreads(0);
    QVERIFY(unclearedSerial == serial);
    QCOMPARE(parallel.boxes, serial.boxes);
    QCOMPARE(parallel.boxes[2], QStringLiteral("50")); // AB's SP.V: really bent
    QVERIFY(parallel.arcs == serial.arcs);
    QVERIFY(parallel.arcs[3].size() > 1000);
    QVERIFY(parallel.drawing == serial.drawing);
}

void tst_Form4::dragBendsLiveAndEndsAsAChange()
{
    Form4 *form = openEditor();
    choose(2);
    auto *bar = in<QScrollBar>("HScroll2");
    QSignalSpy changes(bar, &QScrollBar::valueChanged);
    bar->setSliderDown(true);
    for (int position : {10, 35, 80, 120}) {
        mark(form);
        bar->setSliderPosition(position);
        // Redrawn while the thumb is still held.
        QVERIFY(!isMarked(form));
        QCOMPARE(in<QLineEdit>("Text7")->text(), QString::number(position));
        QCOMPARE(gridRow(1)[0], QString::number(position));
    }
    bar->setSliderDown(false);
    QCOMPARE(changes.count(), 4); // the release adds no redraw of its own
    const EditorState dragged = editorState(form);
    app::destroyWindows();

    form = openEditor();
    choose(2);
    in<QScrollBar>("HScroll2")->setValue(120);
    QVERIFY(editorState(form) == dragged);
}

void tst_Form4::calibrationBarFiresOncePerRelease()
{
    // The calibration's figures accumulate: its bar changes on release only.
    auto *bar = control<QScrollBar>(app::form2(), "HScroll1");
    QSignalSpy changes(bar, &QScrollBar::valueChanged);
    bar->setSliderDown(true);
    for (int position : {3, 7, 12})
        bar->setSliderPosition(position);
    QCOMPARE(changes.count(), 0);
    bar->setSliderDown(false);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(bar->value(), 12);
}

void tst_Form4::typedValuesBesideTheBars()
{
    Form4 *form = openEditor();
    choose(2);
    MessageAnswerer answerer;
    auto *vertical = in<QScrollBar>("HScroll2");
    auto *horizontal = in<QScrollBar>("HScroll1");
    QSignalSpy changes(vertical, &QScrollBar::valueChanged);
    retype(form, "Text7", "120");
    QTest::keyClick(in("Text7"), Qt::Key_Return);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(form->table().row(Segment::BC).SPY.toDouble(), 120.0);
    // Beyond the range: the nearest end, on leaving the box.
    in("Text6")->setFocus();
    retype(form, "Text6", "-9999");
    in("Command1")->setFocus();
    QCOMPARE(horizontal->value(), -1000);
    QCOMPARE(in<QLineEdit>("Text6")->text(), QStringLiteral("-1000"));
    // Not a whole number: the bar's value comes back.
    for (const char *text : {"abc", "2,5"}) {
        retype(form, "Text7", text);
        QTest::keyClick(in("Text7"), Qt::Key_Return);
        QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("120"));
    }
    QCOMPARE(changes.count(), 1);

    // Each typed value is one step; after an undo the box shows the bar, and leaving it
    // applies nothing.
    in("Text7")->setFocus();
    retype(form, "Text7", "77");
    control<QAction>(form, "actionUndo")->trigger();
    QCOMPARE(horizontal->value(), 0);
    QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("120"));
    control<QAction>(form, "actionUndo")->trigger();
    QCOMPARE(vertical->value(), 0);
    QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("0"));
    in("Command1")->setFocus();
    QCOMPARE(vertical->value(), 0);
    QCOMPARE(answerer.texts(), QStringList{});
}

void tst_Form4::joinsPanelFollowsTheCurve()
{
    app::settings().clear();
    Form4 *form = openEditor(EditorFrom::BasePoints);
    auto *showJoins = in<QAction>("actionShowJoins");
    QVERIFY(!showJoins->isChecked() && !in("joinsPanel")->isVisible()); // off at the first run
    const QImage drawing = drawingOf(form);
    showJoins->trigger();
    in<QAction>("actionCurvatureComb")->trigger();
    // The default curve: smooth at B and C, a cusp at D; the drawing alone is the design's.
    const auto turns = [] {
        QStringList texts;
        for (const char *join : {"joinB", "joinC", "joinD"})
            texts << in<QLabel>(join)->text().section(u' ', 0, 1);
        return texts;
    };
    QCOMPARE(turns(), (QStringList{"B 0,0°", "C 0,0°", "D 180,0°"}));
    QCOMPARE(drawingOf(form), drawing);
    QVERIFY(!in<QAction>("actionUndo")->isEnabled());
    // Beside the controls, never over them.
    const QRect panel = in("joinsPanel")->geometry();
    for (QWidget *child : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->objectName().startsWith(u"Frame") || child->objectName().startsWith(u"Command"))
            QVERIFY2(!panel.intersects(child->geometry()), qPrintable(child->objectName()));

    // Live: a bend of CD's arc changes D's turn at once.
    QTest::mouseClick(in("Option3"), Qt::LeftButton);
    scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepAdd);
    QVERIFY(turns()[2] != QStringLiteral("D 180,0°"));

    // Remembered for the next run.
    app::destroyWindows();
    openEditor();
    QVERIFY(in<QAction>("actionShowJoins")->isChecked() &&
            in<QAction>("actionCurvatureComb")->isChecked());
}

void tst_Form4::smoothingIsOneStep()
{
    app::settings().clear();
    Form4 *form = openEditor(EditorFrom::BasePoints);
    in<QAction>("actionShowJoins")->trigger();
    auto *all = in<QAction>("actionSmoothJoins");
    auto *chosen = in<QAction>("actionSmoothSegment");
    auto *undo = in<QAction>("actionUndo");
    const auto turns = [] {
        QStringList texts;
        for (const char *join : {"joinB", "joinC", "joinD"})
            texts << in<QLabel>(join)->text().section(u' ', 0, 1);
        return texts;
    };
    const QStringList smooth = {"B 0,0°", "C 0,0°", "D 0,0°"};
    QVERIFY(!chosen->isEnabled());

    // All four rows, with no segment chosen: the bars stay as they are.
    all->trigger();
    QCOMPARE(turns(), smooth);
    QCOMPARE(undo->text(), QStringLiteral("Annulla raccordo dei segmenti"));
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 0);
    QVERIFY(gridRow(2) != untouchedRow);
    undo->trigger();
    QCOMPARE(turns(), (QStringList{"B 0,0°", "C 0,0°", "D 180,0°"}));
    for (int segment = 0; segment < 4; ++segment)
        QCOMPARE(gridRow(segment), untouchedRow);
    QVERIFY(!undo->isEnabled());

    // CD alone: the other rows stay; the bars and ALFA boxes show CD's new values, so that
    // ESEGUI keeps the smooth curve.
    choose(3);
    QVERIFY(chosen->isEnabled());
    chosen->trigger();
    QCOMPARE(turns(), smooth);
    for (int segment : {0, 1, 3})
        QCOMPARE(gridRow(segment), untouchedRow);
    const QStringList cd = gridRow(2);
    QCOMPARE(in<QLineEdit>("Text7")->text(), cd[0]);
    QCOMPARE(QString::number(in<QScrollBar>("HScroll2")->value()), cd[0]);
    QCOMPARE(in<QLineEdit>("Text6")->text(), cd[1]);
    QCOMPARE(in<QLineEdit>("Text10")->text(), cd[2]);
    QCOMPARE(in<QLineEdit>("Text11")->text(), cd[3]);
    click(form, "Command1");
    QCOMPARE(gridRow(2), cd);
    QCOMPARE(turns(), smooth);

    // Where no values can make the joins smooth, one message and nothing changes.
    app::destroyWindows();
    const char *const far[][2] = {{"Text1", "0"},   {"Text2", "0"},  {"Text3", "10"},
                                  {"Text4", "100"}, {"Text5", "20"}, {"Text6", "5100"}};
    for (const auto &[box, text] : far)
        retype(app::form3(), box, text);
    form = openEditor(EditorFrom::BasePoints);
    choose(2);
    click(form, "Command1");
    const QImage before = drawingOf(form);
    MessageAnswerer answerer;
    in<QAction>("actionSmoothSegment")->trigger();
    QCOMPARE(answerer.texts().size(), 1);
    QVERIFY(answerer.texts().first().startsWith(u"Non ho trovato"));
    QCOMPARE(drawingOf(form), before);
    QCOMPARE(in<QAction>("actionUndo")->text(), QStringLiteral("Annulla esecuzione"));
}

QTEST_MAIN(tst_Form4)
#include "tst_form4.moc"
