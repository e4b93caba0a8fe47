#include "app/windows.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>
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

    void actionsWaitForTheFirstRedraw();
    void copies();
    void savesThroughTheDialog_data();
    void savesThroughTheDialog();
    void svgRendersLikeTheDrawing();
    void replacingAsksFirst();
    void unwritablePlace();
};

namespace {

const QRgb darkRed = qRgb(128, 0, 0);

QAction *action(const char *name)
{
    auto *found = app::form4()->findChild<QAction *>(QString::fromLatin1(name));
    if (!found || !app::form4()->actions().contains(found))
        qFatal("no action %s on the editor", name);
    return found;
}

// The default base points accepted, AB chosen and bent: a curve with every arc drawn.
Form4 *openEditor()
{
    click(app::form3(), "Command3");
    Form4 *form = app::form4();
    app::show(form);
    if (!QTest::qWaitForWindowActive(form))
        qFatal("the editor did not show");
    QTest::mouseClick(control<QWidget>(form, "Option1"), Qt::LeftButton);
    scrollAction(form, "HScroll2", QAbstractSlider::SliderPageStepAdd, 3);
    QCoreApplication::processEvents();
    return form;
}

// Runs work on the dialog of the given object name once it is open, from the event loop that
// its exec() runs.
void whenOpen(const char *name, std::function<void(QWidget *)> work)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->objectName() != QLatin1String(name))
            return;
        timer->stop();
        timer->deleteLater();
        work(modal);
    });
    timer->start();
}

// As a user would: picks the filter, types the name, presses Enter.
void answerSaveDialog(const QString &filter, const QString &name)
{
    whenOpen("saveCurveDialog", [=](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        QVERIFY(dialog);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(dialog->selectedNameFilter().contains("*.svg")); // the default
        const QStringList filters = dialog->nameFilters().filter(filter);
        QCOMPARE(filters.size(), 1);
        dialog->selectNameFilter(filters.first());
        auto *box = control<QLineEdit>(dialog, "fileNameEdit");
        box->setFocus();
        box->setText(name);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

void tst_CurveExport::actionsWaitForTheFirstRedraw()
{
    Form4 *form = app::form4(); // created, never drawn
    QVERIFY(!form->curve());
    for (const char *name : {"actionCopyParameters", "actionCopyDrawing", "actionSaveCurve"})
        QVERIFY2(!action(name)->isEnabled(), name);
    QCOMPARE(form->contextMenuPolicy(), Qt::ActionsContextMenu);

    openEditor();
    for (const char *name : {"actionCopyParameters", "actionCopyDrawing", "actionSaveCurve"})
        QVERIFY2(action(name)->isEnabled(), name);
    // The curve kept is the one plotted, point for point: its arcs are the walks of the
    // segments' rows, and each point's dot is on the drawing.
    QVERIFY(form->curve());
    const QImage drawing = drawingOf(form);
    const UserScale scale = form->userScale();
    const QPointF origin = form->curve()->origin;
    int points = 0;
    for (Segment segment : segments) {
        const auto &arc = form->curve()->arcs[static_cast<std::size_t>(segment)];
        const ArcParameters parameters =
            segmentArc(form->curve()->points, segment, form->table().row(segment));
        QCOMPARE(arc, arcPointsWithAngles(parameters, ArcFrame{3.1415927f / 180, float(origin.x()),
                                                               float(origin.y()), 5}));
        for (const ArcPoint &p : arc) {
            const QPointF pixel = scale.toPixel(
                QPointF(float(p.point.x() + origin.x()), float(origin.y() - p.point.y())));
            QCOMPARE(
                drawing.pixel(int(std::floor(pixel.x() - 0.5)), int(std::floor(pixel.y() - 0.5))),
                qRgb(128, 0, 0));
        }
        points += int(arc.size());
    }
    QVERIFY(points > 100);
}

void tst_CurveExport::copies()
{
    Form4 *form = openEditor();
    QClipboard *clipboard = QGuiApplication::clipboard();

    // From inside a text box: the window's shortcut, while Ctrl+C stays the box's own copy.
    auto *box = control<QLineEdit>(form, "Text9");
    box->setFocus();
    box->selectAll();
    clipboard->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("5"));
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(), parametersText(*form->curve()));
    QVERIFY(clipboard->text().contains(u"\nAB\t150\t0\t1\t1\n"));

    action("actionCopyDrawing")->trigger();
    const QImage copied = clipboard->image().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(copied, drawingOf(form));
    QCOMPARE(form->canvas().drawing(), drawingOf(form));
    QVERIFY(countPixels(copied, darkRed) > 0);
}

void tst_CurveExport::savesThroughTheDialog_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("SVG by default extension") << "*.svg"
                                              << "curva"
                                              << "curva.svg";
    QTest::newRow("PNG by filter") << "*.png"
                                   << "curva"
                                   << "curva.png";
    QTest::newRow("CSV by name, not filter") << "*.png"
                                             << "punti.CSV"
                                             << "punti.CSV";
    QTest::newRow("unknown extension kept") << "*.csv"
                                            << "punti.txt"
                                            << "punti.txt.csv";
}

void tst_CurveExport::savesThroughTheDialog()
{
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    Form4 *form = openEditor();
    const QImage before = drawingOf(form);
    QTemporaryDir dir;
    answerSaveDialog(filter, dir.filePath(typed));
    QTest::keyClick(form, Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{saved});
    const QString path = dir.filePath(saved);
    const Curve &curve = *form->curve();
    switch (*curveFormatOf(saved)) {
    case CurveFormat::Svg:
        QCOMPARE(contents(path), curveSvg(curve));
        break;
    case CurveFormat::Csv:
        QCOMPARE(contents(path), curveCsv(curve));
        break;
    case CurveFormat::Png:
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), before);
        break;
    }
    QCOMPARE(drawingOf(form), before);
}

void tst_CurveExport::svgRendersLikeTheDrawing()
{
#ifndef CINQUEPUNTI_HAVE_SVG
    QSKIP("Qt SVG is not installed");
#else
    Form4 *form = openEditor();
    const Curve &curve = *form->curve();
    const QImage drawing = drawingOf(form);
    QSvgRenderer renderer(curveSvg(curve));
    QVERIFY(renderer.isValid());
    // Onto the drawing's pixels: the view box placed where the editor's plane lies, at the
    // drawing's scale across and down.
    const QRectF view = renderer.viewBoxF();
    const QRectF bounds((view.x() + curve.origin.x()) / curve.pixelWidth,
                        (view.y() + curve.origin.y()) / curve.pixelHeight,
                        view.width() / curve.pixelWidth, view.height() / curve.pixelHeight);
    QImage rendered(drawing.size(), QImage::Format_ARGB32);
    rendered.fill(Qt::transparent);
    QPainter painter(&rendered);
    renderer.render(&painter, bounds);
    painter.end();

    auto reddish = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint p(x + dx, y + dy);
                if (!rendered.rect().contains(p))
                    continue;
                const QRgb c = rendered.pixel(p);
                if (qAlpha(c) > 64 && qRed(c) > 2 * qGreen(c) + 20)
                    return true;
            }
        return false;
    };
    int arcPixels = 0;
    int matched = 0;
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

void tst_CurveExport::replacingAsksFirst()
{
    Form4 *form = openEditor();
    QTemporaryDir dir;
    const QString path = dir.filePath("curva.svg");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio") == 7);
    old.close();

    // The name typed without its extension: the question is about the file to be written.
    for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString question;
        answerSaveDialog("*.svg", dir.filePath("curva"));
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, [&, timer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            timer->stop();
            question = box->text();
            box->button(answer)->click();
            // After a "no" the dialog asks for another name: the user gives up.
            if (answer == QMessageBox::No)
                QTimer::singleShot(10, [] { QApplication::activeModalWidget()->close(); });
        });
        timer->start(5);
        action("actionSaveCurve")->trigger();
        delete timer;
        QVERIFY2(question.contains("curva.svg"), qPrintable(question));
        QCOMPARE(contents(path),
                 answer == QMessageBox::No ? QByteArray("vecchio") : curveSvg(*form->curve()));
    }
}

void tst_CurveExport::unwritablePlace()
{
    Form4 *form = openEditor();
    const QImage before = drawingOf(form);
    QTemporaryDir dir;
    const QString path = dir.filePath("manca/curva.png");
    answerSaveDialog("*.png", path);
    MessageAnswerer answerer;
    action("actionSaveCurve")->trigger();

    QCOMPARE(answerer.texts(),
             QStringList{"Impossibile salvare il file " + path + ": la cartella non esiste"});
    QCOMPARE(answerer.iconless(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(drawingOf(form), before);
}

QTEST_MAIN(tst_CurveExport)
#include "tst_curveexport.moc"
