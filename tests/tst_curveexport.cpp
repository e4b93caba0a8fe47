#include "app/windows.h"
#include "editor/curve/arclength.h"
#include "editor/form4.h"
#include "formats/csv.h"
#include "formats/curveformat.h"
#include "formats/equations.h"
#include "formats/svg.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cmath>
#include <unistd.h>
#ifdef CINQUEPUNTI_HAVE_SVG
#include <QSvgRenderer>
#endif

// Taking the curve out of the editor: its actions, the clipboard and the saved files.
class tst_CurveExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void actionsWaitForTheFirstRedrawThenCopy();
    void savesThroughTheDialog_data();
    void savesThroughTheDialog();
    void svgRendersLikeTheDrawing();
    void replacingAsksFirstAndFailingWritesNothing();
    void fullDiskSaysSoAndKeepsTheEarlierFile();
};

namespace {

const char *const actionNames[] = {"actionCopyParameters", "actionCopyDrawing",
                                   "actionCopyGeoGebra", "actionCopyDesmos", "actionSaveCurve"};

QAction *action(const char *name)
{
    return control<QAction>(app::form4(), name);
}

// The default base points accepted, AB chosen and bent: a curve with every arc drawn.
Form4 *bentEditor()
{
    return openEditor(EditorFrom::BasePoints, {{"Option1", 3}});
}

// The export dialog answered: the filter picked (SVG being the default), the name typed.
void answerSaveDialog(const QString &filter, const QString &name)
{
    answerFileDialog("saveCurveDialog", name, [filter](QFileDialog *dialog) {
        QVERIFY(dialog->selectedNameFilter().contains("*.svg")); // the default
        const QStringList filters = dialog->nameFilters().filter(filter);
        QCOMPARE(filters.size(), 1);
        dialog->selectNameFilter(filters.first());
    });
}

// The SVG of the curve at the default scale, which a curve near the base points always has.
QByteArray svgOf(const Curve &curve)
{
    return std::get<QByteArray>(curveSvg(curve, 1));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

void tst_CurveExport::actionsWaitForTheFirstRedrawThenCopy()
{
    Form4 *form = app::form4(); // created, never drawn
    QVERIFY(!form->curve());
    for (const char *name : actionNames)
        QVERIFY2(!action(name)->isEnabled(), name);
    QCOMPARE(form->contextMenuPolicy(), Qt::ActionsContextMenu);

    bentEditor();
    for (const char *name : actionNames)
        QVERIFY2(action(name)->isEnabled(), name);
    // The curve kept is the one plotted: the walks of the segments' rows, each point's dot on
    // the drawing.
    const QImage drawing = drawingOf(form);
    const Curve &curve = *form->curve();
    const ArcFrame frame{3.1415927f / 180, float(curve.origin.x()), float(curve.origin.y()), 5};
    int points = 0;
    for (Segment segment : segments) {
        const auto &arc = curve.arcs[std::size_t(segment)];
        QCOMPARE(arc, arcPointsWithAngles(
                          segmentArc(curve.points, segment, form->table().row(segment)), frame));
        for (const ArcPoint &p : arc) {
            const QPointF pixel = form->userScale().toPixel(
                QPointF(float(p.point.x() + frame.CX), float(frame.CY - p.point.y())));
            QCOMPARE(
                drawing.pixel(int(std::floor(pixel.x() - 0.5)), int(std::floor(pixel.y() - 0.5))),
                darkRed);
        }
        points += int(arc.size());
    }
    QVERIFY(points > 100);

    // From inside a text box: Ctrl+C stays the box's own copy, Ctrl+Shift+C is the window's.
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto *box = control<QLineEdit>(form, "Text9");
    box->setFocus();
    box->selectAll();
    clipboard->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("5"));
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    // The parameters, then the arcs' lengths in millimetres at the scale (1 mm a unit).
    QCOMPARE(clipboard->text(), parametersText(curve) + lengthsText(curve, 1));
    QVERIFY(clipboard->text().contains(u"\nAB\t150\t0\t1\t1\n"));

    action("actionCopyDrawing")->trigger();
    QCOMPARE(clipboard->image().convertToFormat(QImage::Format_RGB32), drawing);

    // The equations, with points for decimals under Italian settings (tst_equations evaluates
    // them).
    action("actionCopyGeoGebra")->trigger();
    QCOMPARE(clipboard->text(), geoGebraText(curve));
    QVERIFY2(clipboard->text().startsWith("Curve(15 + 45*sin(t)^2, 15 + 55*(sin(t)*cos(t) + "
                                          "sin(t)) + 150*cos(t)*sin("),
             qPrintable(clipboard->text()));
    action("actionCopyDesmos")->trigger();
    QCOMPARE(clipboard->text(), desmosText(curve));
}

void tst_CurveExport::savesThroughTheDialog_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    auto row = [](const char *name, const char *filter, const char *typed, const char *saved) {
        QTest::newRow(name) << filter << typed << saved;
    };
    row("SVG by default extension", "*.svg", "curva", "curva.svg");
    row("PNG by filter", "*.png", "curva", "curva.png");
    row("CSV by name, not filter", "*.png", "punti.CSV", "punti.CSV");
    row("unknown extension kept", "*.csv", "punti.txt", "punti.txt.csv");
}

void tst_CurveExport::savesThroughTheDialog()
{
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    Form4 *form = bentEditor();
    const QImage before = drawingOf(form);
    QTemporaryDir dir;
    answerSaveDialog(filter, dir.filePath(typed));
    QTest::keyClick(form, Qt::Key_E, Qt::ControlModifier);

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{saved});
    const QString path = dir.filePath(saved);
    switch (*curveFormatOf(saved)) {
    case CurveFormat::Svg:
        QCOMPARE(contents(path), svgOf(*form->curve()));
        break;
    case CurveFormat::Csv:
        QCOMPARE(contents(path), curveCsv(*form->curve()));
        break;
    case CurveFormat::Png:
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), before);
        break;
    case CurveFormat::Pdf:
    case CurveFormat::Dxf:
        QFAIL("read back by tst_truescale");
    }
    QCOMPARE(drawingOf(form), before);
}

void tst_CurveExport::svgRendersLikeTheDrawing()
{
#ifndef CINQUEPUNTI_HAVE_SVG
    QSKIP("Qt SVG is not installed");
#else
    Form4 *form = bentEditor();
    const Curve &curve = *form->curve();
    const QImage drawing = drawingOf(form);
    QSvgRenderer renderer(svgOf(curve));
    QVERIFY(renderer.isValid());
    // The view box placed where the editor's plane lies, at the drawing's scale.
    const QRectF view = renderer.viewBoxF();
    QImage rendered(drawing.size(), QImage::Format_ARGB32);
    rendered.fill(Qt::transparent);
    QPainter painter(&rendered);
    renderer.render(&painter,
                    QRectF((view.x() + curve.origin.x()) / curve.pixelWidth,
                           (view.y() + curve.origin.y()) / curve.pixelHeight,
                           view.width() / curve.pixelWidth, view.height() / curve.pixelHeight));
    painter.end();

    // Every arc pixel of the drawing has a red one of the rendering within two pixels. The SVG's
    // arcs are 0.35 mm wide, two thirds of a pixel here: their smoothed pixels are faint.
    auto reddish = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QRgb c = rendered.pixel(std::clamp(x + dx, 0, rendered.width() - 1),
                                              std::clamp(y + dy, 0, rendered.height() - 1));
                if (qAlpha(c) > 24 && qRed(c) > 2 * qGreen(c) + 20)
                    return true;
            }
        return false;
    };
    int arcPixels = 0, matched = 0;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x)
            if (drawing.pixel(x, y) == darkRed) {
                ++arcPixels;
                matched += reddish(x, y);
            }
    QVERIFY(arcPixels > 200);
    QCOMPARE(matched, arcPixels);
#endif
}

void tst_CurveExport::replacingAsksFirstAndFailingWritesNothing()
{
    Form4 *form = bentEditor();
    const QImage before = drawingOf(form);
    QTemporaryDir dir;
    const QString path = dir.filePath("curva.svg");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio") == 7);
    old.close();

    // The name typed without its extension: the question is about the file to be written.
    for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        answerSaveDialog("*.svg", dir.filePath("curva"));
        // After a "no" the dialog asks for another name: the user gives up.
        auto giveUp = [answer](QMessageBox *) {
            if (answer == QMessageBox::No)
                QTimer::singleShot(10, [] { QApplication::activeModalWidget()->close(); });
        };
        MessageAnswerer answerer(giveUp, answer);
        action("actionSaveCurve")->trigger();
        QCOMPARE(answerer.texts().filter("curva.svg").size(), 1);
        QCOMPARE(contents(path),
                 answer == QMessageBox::No ? QByteArray("vecchio") : svgOf(*form->curve()));
    }

    const QString missing = dir.filePath("manca/curva.png");
    answerSaveDialog("*.png", missing);
    MessageAnswerer answerer;
    action("actionSaveCurve")->trigger();
    QCOMPARE(answerer.texts(),
             QStringList{"Impossibile salvare il file " + missing + ": la cartella non esiste"});
    QCOMPARE(answerer.iconless(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"curva.svg"});
    QCOMPARE(drawingOf(form), before);
}

void tst_CurveExport::fullDiskSaysSoAndKeepsTheEarlierFile()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    QTemporaryDir dir;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "cinquepunti", dir.path()}))
        QSKIP("no tmpfs could be mounted here");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {dir.path()}); });
    Form4 *form = bentEditor();
    const QImage before = drawingOf(form);
    const std::pair<const char *, const char *> files[] = {{"*.png", "disegno.png"},
                                                           {"*.svg", "disegno.svg"},
                                                           {"*.csv", "punti.csv"},
                                                           {"*.pdf", "fogli.pdf"},
                                                           {"*.dxf", "taglio.dxf"}};
    QHash<QString, QByteArray> earlier;
    for (const auto &[filter, name] : files) {
        answerSaveDialog(filter, dir.filePath(name));
        action("actionSaveCurve")->trigger();
        earlier[name] = contents(dir.filePath(name));
        QVERIFY(earlier[name].size() > 100);
    }
    QFile filler(dir.filePath("riempitivo"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }

    for (const auto &[filter, name] : files) {
        const QString path = dir.filePath(name);
        answerSaveDialog(filter, path);
        MessageAnswerer answerer({}, QMessageBox::Yes); // yes, replace it
        action("actionSaveCurve")->trigger();
        QCOMPARE(answerer.texts().size(), 2);
        QCOMPARE(answerer.texts().last(),
                 "Impossibile salvare il file " + path + ": il disco è pieno");
        QCOMPARE(contents(path), earlier[name]);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 6); // no temporary file left
    QCOMPARE(drawingOf(form), before);
}

QTEST_MAIN(tst_CurveExport)
#include "tst_curveexport.moc"
