#include "app/settings.h"
#include "app/windows.h"
#include "common/numbers.h"
#include "editor/curve/arclength.h"
#include "editor/form4.h"
#include "editor/truescaledialog.h"
#include "formats/exactnumber.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPrintDialog>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QXmlStreamReader>

// The curve at its true size: read back by the programs a user opens the files with.
class tst_TrueScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void init() { app::settings().clear(); }
    void cleanup() { app::destroyWindows(); }

    void pdfIsTrueToSize();
    void largeCurveTilesWithoutEmptySheets();
    void dxfAndSvgAreInMillimetres();
    void farCurveIsRefusedAndTheEarlierFileKept();
    void scaleIsAStepOfTheWorkAndTheNextDefault();
    void scaleDialogReadsNumbersAsTheBoxesDo();
    void printingToFileGivesThePdfsPages();
    void offsetIsAStepShownBesideTheLengths();
    void pdfCarriesTheOffsetLine();
};

namespace {

// The default base points accepted, and every segment bent: a curve with every arc drawn.
Form4 *bentEditor()
{
    return openEditor(EditorFrom::BasePoints,
                      {{"Option1", 2}, {"Option2", 2}, {"Option3", 2}, {"Option4", 2}});
}

void trigger(Form4 *form, const char *action)
{
    control<QAction>(form, action)->trigger();
}

// "Scala reale...": the millimetres typed, accepted with Enter or with OK.
void chooseScale(Form4 *form, double millimetres, bool withEnter = true)
{
    whenModal<QDialog>("trueScaleDialog", [=](QDialog *dialog) {
        auto *box = control<QDoubleSpinBox>(dialog, "millimetresPerUnit");
        // The number is ready to be typed over, once the dialog is active (later on a busy
        // machine); checked after the dialog is closed, so that a failure cannot leave it open.
        const bool focused = QTest::qWaitFor([box] { return box->hasFocus(); }, 3000);
        const auto closed = qScopeGuard([focused] { QVERIFY(focused); });
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, formatNumber(millimetres));
        if (withEnter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
    });
    trigger(form, "actionTrueScale");
}

QString exportCurve(Form4 *form, const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    const QString extension = "*." + name.section(u'.', -1);
    answerFileDialog("saveCurveDialog", path, [extension](QFileDialog *dialog) {
        dialog->selectNameFilter(dialog->nameFilters().filter(extension).value(0));
    });
    trigger(form, "actionSaveCurve");
    return path;
}

// The programs that read the files back, as the build's configuration found them (empty where
// one is missing: test.sh installs them all), and why a check that needs them cannot run.
const QString pdftoppm = QStringLiteral(CINQUEPUNTI_PDFTOPPM);
const QString pdftotext = QStringLiteral(CINQUEPUNTI_PDFTOTEXT);
const QString ezdxfPython = QStringLiteral(CINQUEPUNTI_PYTHON_EZDXF);

const char *popplerMissing()
{
    return pdftoppm.isEmpty() || pdftotext.isEmpty()
               ? "poppler's pdftoppm and pdftotext, which read the PDFs back, were not found: "
                 "install poppler-utils and configure the build again"
               : nullptr;
}

const char *ezdxfMissing()
{
    return ezdxfPython.isEmpty() ? "/usr/bin/python3 with ezdxf, which reads the DXF back, was not "
                                   "found: install python3-ezdxf and configure the build again"
                                 : nullptr;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << program << arguments << process.readAllStandardError();
    return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput())
                                   : QStringLiteral("(failed)");
}

// The PDF's pages as poppler renders them at 254 dpi, ten pixels to a millimetre, without
// smoothing, so that every ink keeps its colour.
QList<QImage> pdfPages(const QString &pdf)
{
    run(pdftoppm, {"-r", "254", "-aa", "no", "-aaVector", "no", "-png", pdf, pdf});
    const QFileInfo file(pdf);
    QList<QImage> pages;
    // Named pdf-1.png ... or, in longer documents, pdf-01.png ...: in order either way.
    for (const QString &name : file.dir().entryList({file.fileName() + "-*.png"}, QDir::Files))
        pages << QImage(file.dir().filePath(name));
    return pages;
}

QStringList pdfTexts(const QString &pdf)
{
    QStringList pages = run(pdftotext, {pdf, "-"}).split(u'\f');
    pages.removeLast(); // after the last page's form feed
    return pages;
}

// The bounding box of the pixels that pass, in millimetres.
QRectF extentOf(const QImage &page, const std::function<bool(QRgb)> &ink)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (ink(page.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return QRectF(box.x() / 10.0, box.y() / 10.0, box.width() / 10.0, box.height() / 10.0);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QSizeF arcsExtent(const Curve &curve)
{
    QPolygonF points;
    for (const auto &arc : curve.arcs)
        for (const ArcPoint &p : arc)
            points << p.point;
    return points.boundingRect().size();
}

// The test square alone on its page: from the first to the last row that black crosses for
// more than half the square, in millimetres.
double squareHeight(const QImage &page)
{
    int first = -1, last = -1;
    for (int y = 0; y < page.height(); ++y) {
        int count = 0;
        for (int x = 0; x < page.width(); ++x)
            count += qGray(page.pixel(x, y)) < 64;
        if (count > 500) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return (last - first + 1) / 10.0;
}

} // namespace

void tst_TrueScale::pdfIsTrueToSize()
{
    if (const char *missing = popplerMissing())
        QSKIP(missing);
    Form4 *form = bentEditor();
    chooseScale(form, 0.5);
    QTemporaryDir dir;
    const QString pdf = exportCurve(form, dir, "curva.pdf");
    const QList<QImage> pages = pdfPages(pdf);
    // A4 at 254 dpi; the curve, its crosses and letters and the test square on one sheet.
    QCOMPARE(pages.size(), 1);
    QVERIFY(std::abs(pages[0].width() - 2100) <= 1 && std::abs(pages[0].height() - 2970) <= 1);
    const QSizeF expected = arcsExtent(*form->curve()) * 0.5;
    const QSizeF measured = extentOf(pages[0], [](QRgb c) { return c == darkRed; }).size();
    QVERIFY2(std::abs(measured.width() - expected.width()) < 1 &&
                 std::abs(measured.height() - expected.height()) < 1,
             qPrintable(QStringLiteral("%1 x %2 mm, not %3 x %4")
                            .arg(measured.width())
                            .arg(measured.height())
                            .arg(expected.width())
                            .arg(expected.height())));
    const QString text = pdfTexts(pdf).value(0);
    QVERIFY(text.contains("10 cm") && text.contains("dimensioni effettive"));
    for (const char *letter : {"A", "B", "C", "D", "E"})
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(letter))));
}

void tst_TrueScale::largeCurveTilesWithoutEmptySheets()
{
    Form4 *form = bentEditor();
    QTemporaryDir dir;

    // Beyond the sheets anyone would glue, the export says so and writes nothing.
    chooseScale(form, 1000);
    {
        MessageAnswerer answerer;
        exportCurve(form, dir, "enorme.pdf");
        QCOMPARE(answerer.texts().size(), 1);
        QVERIFY2(answerer.texts()[0].contains("più di 500 fogli"), qPrintable(answerer.texts()[0]));
        QVERIFY(!QFile::exists(dir.filePath("enorme.pdf")));
    }

    if (const char *missing = popplerMissing())
        QSKIP(missing);
    chooseScale(form, 4, false);
    const QString pdf = exportCurve(form, dir, "grande.pdf");
    const QList<QImage> pages = pdfPages(pdf);
    const QStringList texts = pdfTexts(pdf);
    QCOMPARE(texts.size(), pages.size());
    QVERIFY(pages.size() > 3);

    // No room left on a curve's sheet: the square comes first, on a sheet of its own.
    QVERIFY(texts[0].contains("dimensioni effettive"));
    const QSizeF square(squareHeight(pages[0].transformed(QTransform().rotate(90))),
                        squareHeight(pages[0]));
    QVERIFY2(std::abs(square.width() - 100) <= 0.5 && std::abs(square.height() - 100) <= 0.5,
             qPrintable(QStringLiteral("%1 x %2 mm").arg(square.width()).arg(square.height())));

    // Each sheet of the curve is labelled with its place and carries some of the curve or its
    // chords; some places of the grid are left out, as nothing reaches them.
    const QRegularExpression label(QStringLiteral("riga (\\d+), colonna (\\d+)"));
    int rows = 0, columns = 0;
    QSet<QString> places;
    for (qsizetype i = 1; i < pages.size(); ++i) {
        const QRegularExpressionMatch match = label.match(texts[i]);
        QVERIFY2(match.hasMatch(), qPrintable(texts[i]));
        rows = std::max(rows, match.captured(1).toInt());
        columns = std::max(columns, match.captured(2).toInt());
        places << match.captured(0);
        auto curveInk = [](QRgb c) { return c == darkRed || c == qRgb(0, 0, 0); };
        QVERIFY2(!extentOf(pages[i], curveInk).isEmpty(), qPrintable(match.captured(0)));
    }
    QCOMPARE(places.size(), pages.size() - 1);
    QVERIFY(places.size() < rows * columns);
}

void tst_TrueScale::dxfAndSvgAreInMillimetres()
{
    Form4 *form = bentEditor();
    chooseScale(form, 2.5);
    QTemporaryDir dir;
    QFile svg(exportCurve(form, dir, "curva.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    xml.readNextStartElement();
    const QStringList view = xml.attributes().value("viewBox").toString().split(u' ');
    QCOMPARE(xml.attributes().value("width").toString(),
             exactNumber(view[2].toDouble() * 2.5) + "mm");
    QCOMPARE(xml.attributes().value("height").toString(),
             exactNumber(view[3].toDouble() * 2.5) + "mm");

    if (const char *missing = ezdxfMissing())
        QSKIP(missing);
    const QString dxf = exportCurve(form, dir, "curva.dxf");
    const QString csv = exportCurve(form, dir, "curva.csv");
    QStringList arguments{QStringLiteral(CINQUEPUNTI_SOURCE_DIR "/dxfcheck.py"), dxf, csv, "2.5"};
    for (const QLineF &chord : form->curve()->chords)
        arguments << exactNumber(chord.x1()) << exactNumber(chord.y1()) << exactNumber(chord.x2())
                  << exactNumber(chord.y2());
    QCOMPARE(run(ezdxfPython, arguments).trimmed(), QStringLiteral("ok"));
}

void tst_TrueScale::farCurveIsRefusedAndTheEarlierFileKept()
{
    // B a long way up: at 4 mm a unit its millimetres, and the SVG's size, are no numbers.
    retype(app::form3(), "Text4", "1e308");
    Form4 *form = bentEditor();
    chooseScale(form, 4);
    QTemporaryDir dir;
    const std::pair<const char *, const char *> refusals[] = {
        {"curva.svg", "la curva è troppo estesa perché le sue misure si possano scrivere in un "
                      "file SVG"},
        {"curva.dxf", "la curva è troppo estesa perché le sue misure in millimetri si possano "
                      "scrivere in un file DXF"}};
    for (const auto &[name, reason] : refusals) {
        const QString path = dir.filePath(name);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio") == 7);
        old.close();
        MessageAnswerer answerer({}, QMessageBox::Yes); // yes, replace it
        exportCurve(form, dir, name);
        QCOMPARE(answerer.texts().size(), 2);
        QCOMPARE(answerer.texts().last(),
                 QStringLiteral("Impossibile salvare il file %1: %2").arg(path, reason));
        QCOMPARE(answerer.iconless(), 1); // the message; the question has its own
        QCOMPARE(contents(path), QByteArray("vecchio"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // nothing else left behind

    // At 1 mm a unit the DXF's millimetres are numbers, and it is written; the SVG's size is
    // one too, but not in a reader's pixels (3.78 to a millimetre).
    chooseScale(form, 1);
    MessageAnswerer answerer({}, QMessageBox::Yes);
    exportCurve(form, dir, "curva.svg");
    exportCurve(form, dir, "curva.dxf");
    QCOMPARE(answerer.texts().filter("troppo estesa").size(), 1);
    const QByteArray dxf = contents(dir.filePath("curva.dxf")).toLower();
    QVERIFY(dxf.contains("1e+308") && !dxf.contains("inf") && !dxf.contains("nan"));
}

void tst_TrueScale::scaleIsAStepOfTheWorkAndTheNextDefault()
{
    Form4 *form = bentEditor();
    QVERIFY(form->snapshot().trueScale == TrueScale{}); // 1 mm, A4 in Italy, 10 mm
    // Cancelled, the typed value is not taken.
    whenModal<QDialog>("trueScaleDialog", [](QDialog *dialog) {
        QTest::keyClicks(control<QDoubleSpinBox>(dialog, "millimetresPerUnit"), "7");
        dialog->reject();
    });
    trigger(form, "actionTrueScale");
    QCOMPARE(form->snapshot().trueScale.millimetresPerUnit, 1.0);

    // Accepted while the number is still being typed, with another paper and overlap.
    whenModal<QDialog>("trueScaleDialog", [](QDialog *dialog) {
        auto *paper = control<QComboBox>(dialog, "paper");
        paper->setCurrentIndex(paper->findText("A3"));
        for (const auto &[name, typed] :
             {std::pair{"overlap", "5"}, {"millimetresPerUnit", "3,25"}}) {
            auto *box = control<QDoubleSpinBox>(dialog, name);
            box->selectAll();
            QTest::keyClicks(box, typed);
        }
        dialog->accept();
    });
    trigger(form, "actionTrueScale");
    const TrueScale kept{3.25, QPageSize::A3, 5};
    QVERIFY(form->snapshot().trueScale == kept);

    // A step: undone and redone like any other.
    trigger(form, "actionUndo");
    QVERIFY(form->snapshot().trueScale == TrueScale{});
    trigger(form, "actionRedo");
    QVERIFY(form->snapshot().trueScale == kept);

    // The default of the next work.
    app::destroyWindows();
    QVERIFY(bentEditor()->snapshot().trueScale == kept);

    // Without one kept, the paper of a locale that does not measure in metric is Letter.
    app::destroyWindows();
    app::settings().clear();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QPageSize::PageSizeId paper = bentEditor()->snapshot().trueScale.paper;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCOMPARE(paper, QPageSize::Letter);
}

void tst_TrueScale::scaleDialogReadsNumbersAsTheBoxesDo()
{
    // Typed key by key over the value, then Enter: a text that is not a number in the user's
    // locale is refused where it was typed (the dialog stays, the box shows its value again),
    // and never is a point or a comma digit grouping.
    const auto typed = [](const QString &text) {
        TrueScaleDialog dialog(TrueScale{}, nullptr);
        dialog.show();
        auto *box = control<QDoubleSpinBox>(&dialog, "millimetresPerUnit");
        const QString shown = box->text();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        const bool accepted = dialog.result() == QDialog::Accepted;
        return std::tuple{shown, accepted ? dialog.trueScale().millimetresPerUnit : 0.0,
                          accepted ? QString() : box->text()};
    };
    using Typed = std::tuple<QString, double, QString>;
    QCOMPARE(typed("2,5"), Typed("1 mm", 2.5, {}));
    QCOMPARE(typed("2.5"), Typed("1 mm", 0, "1 mm"));
    QCOMPARE(typed("1.000"), Typed("1 mm", 0, "1 mm"));
    QCOMPARE(std::get<1>(typed("1e1")), 10.0);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(typed("2.5"), Typed("1 mm", 2.5, {}));
    QCOMPARE(typed("2,5"), Typed("1 mm", 0, "1 mm"));
    TrueScaleDialog dialog(TrueScale{.millimetresPerUnit = 2.5}, nullptr);
    QCOMPARE(control<QDoubleSpinBox>(&dialog, "millimetresPerUnit")->text(), "2.5 mm");
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

void tst_TrueScale::printingToFileGivesThePdfsPages()
{
    if (const char *missing = popplerMissing())
        QSKIP(missing);
    Form4 *form = bentEditor();
    chooseScale(form, 3);
    QTemporaryDir dir;
    const QString exported = exportCurve(form, dir, "esportata.pdf");
    const QString printed = dir.filePath("stampata.pdf");
    whenModal<QPrintDialog>("printDialog", [printed](QPrintDialog *dialog) {
        // Qt's own "print to file" is the printer where none is installed.
        auto *file = control<QLineEdit>(dialog, "filename");
        file->setText(printed);
        QTest::keyClick(file, Qt::Key_Return);
    });
    trigger(form, "actionPrint");
    QCOMPARE(pdfTexts(printed), pdfTexts(exported));
    const QList<QImage> fromPrint = pdfPages(printed), fromExport = pdfPages(exported);
    QCOMPARE(fromPrint.size(), fromExport.size());
    for (qsizetype i = 0; i < fromPrint.size(); ++i)
        QCOMPARE(fromPrint[i], fromExport[i]);

    // Pages 2 to 3 only, as for a sheet that came out badly.
    const QString again = dir.filePath("ristampa.pdf");
    whenModal<QPrintDialog>("printDialog", [again](QPrintDialog *dialog) {
        control<QRadioButton>(dialog, "printRange")->setChecked(true);
        control<QSpinBox>(dialog, "from")->setValue(2);
        control<QSpinBox>(dialog, "to")->setValue(3);
        auto *file = control<QLineEdit>(dialog, "filename");
        file->setText(again);
        QTest::keyClick(file, Qt::Key_Return);
    });
    trigger(form, "actionPrint");
    QCOMPARE(pdfTexts(again), pdfTexts(exported).mid(1, 2));
}

namespace {

// "Scala reale...": the offset typed in the user's locale and its side chosen, accepted with OK.
void chooseOffset(Form4 *form, const QString &typed, int side, const QString &millimetres = {})
{
    whenModal<QDialog>("trueScaleDialog", [=](QDialog *dialog) {
        auto *combo = control<QComboBox>(dialog, "offsetSide");
        QCOMPARE(combo->count(), 3);
        combo->setCurrentIndex(side);
        for (const auto &[name, text] :
             {std::pair{"offsetMillimetres", typed}, {"millimetresPerUnit", millimetres}}) {
            if (text.isEmpty())
                continue;
            auto *box = control<QDoubleSpinBox>(dialog, name);
            box->selectAll();
            QTest::keyClicks(box, text);
        }
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    trigger(form, "actionTrueScale");
}

// The pixels of the offset line's teal, or near it where the line is smoothed.
int tealPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.green() - c.red() > 60 && std::abs(c.green() - c.blue()) < 30;
        }
    return count;
}

} // namespace

void tst_TrueScale::offsetIsAStepShownBesideTheLengths()
{
    Form4 *form = bentEditor();
    trigger(form, "actionShowJoins");
    auto *length = control<QLabel>(form, "curveLength");
    QVERIFY(length->isVisible());
    const double total = curveLengths(*form->curve()).total;
    QCOMPARE(length->text(), "Lunghezza della curva: " + millimetresText(total) + " mm");
    const QImage drawing = drawingOf(form);
    QWidget *marks = control<QWidget>(form, "joinMarks");
    QCOMPARE(tealPixels(marks->grab().toImage()), 0);

    // A kerf typed with the decimal comma, on both sides, at 2 mm a unit: one step.
    chooseOffset(form, "0,15", 2, "2");
    const TrueScale kerf{2, QPageSize::A4, 10, 0.15, OffsetSide::Both};
    QVERIFY(form->snapshot().trueScale == kerf);
    QCOMPARE(length->text(), "Lunghezza della curva: " + millimetresText(total * 2) + " mm");
    QVERIFY(tealPixels(marks->grab().toImage()) > 200);
    // Over the drawing, never in it.
    QCOMPARE(drawingOf(form), drawing);

    trigger(form, "actionUndo");
    QVERIFY(form->snapshot().trueScale == TrueScale{});
    QCOMPARE(tealPixels(marks->grab().toImage()), 0);
    QCOMPARE(length->text(), "Lunghezza della curva: " + millimetresText(total) + " mm");
    trigger(form, "actionRedo");
    QVERIFY(form->snapshot().trueScale == kerf);

    // Hidden with the panel; the next work's default.
    trigger(form, "actionShowJoins");
    QVERIFY(!marks->isVisible());
    app::destroyWindows();
    QVERIFY(bentEditor()->snapshot().trueScale == kerf);
}

void tst_TrueScale::pdfCarriesTheOffsetLine()
{
    if (const char *missing = popplerMissing())
        QSKIP(missing);
    Form4 *form = bentEditor();
    chooseOffset(form, "5", 2);
    QTemporaryDir dir;
    // The curve's sheet, after the test square's, which the offset leaves no room beside it.
    const QList<QImage> pages = pdfPages(exportCurve(form, dir, "margine.pdf"));
    QCOMPARE(pages.size(), 2);
    // Teal (poppler renders it without smoothing, in its own colour), on both sides 5 mm out
    // of the arcs where they are farthest out.
    const auto isTeal = [](QRgb c) { return c == qRgb(0, 128, 128); };
    const QImage &page = pages[1];
    const QRectF arcs = extentOf(page, [](QRgb c) { return c == darkRed; });
    const QRectF offset = extentOf(page, isTeal);
    QVERIFY(!offset.isEmpty());
    const double beyond = std::max({arcs.left() - offset.left(), offset.right() - arcs.right(),
                                    arcs.top() - offset.top(), offset.bottom() - arcs.bottom()});
    QVERIFY2(std::abs(beyond - 5) < 0.5, qPrintable(QString::number(beyond)));
    // Dashed: 2 mm of line, 1 mm of gap, so the line lies in pieces, some hundred of them.
    QSet<std::pair<int, int>> seen;
    int pieces = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (!isTeal(page.pixel(x, y)) || seen.contains({x, y}))
                continue;
            ++pieces;
            QList<std::pair<int, int>> pending{{x, y}};
            seen.insert({x, y});
            while (!pending.isEmpty()) {
                const auto [px, py] = pending.takeLast();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = px + dx, ny = py + dy;
                        if (page.rect().contains(nx, ny) && isTeal(page.pixel(nx, ny)) &&
                            !seen.contains({nx, ny})) {
                            seen.insert({nx, ny});
                            pending.append({nx, ny});
                        }
                    }
            }
        }
    QVERIFY2(pieces > 50, qPrintable(QString::number(pieces)));
}

QTEST_MAIN(tst_TrueScale)
#include "tst_truescale.moc"
