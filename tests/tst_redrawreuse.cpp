#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/curve/arcwalks.h"
#include "editor/form4.h"
#include "editor/workfile.h"
#include "formats/csv.h"
#include "formats/document.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>

#include <array>
#include <string_view>
#include <vector>

// The redraw that takes unchanged arcs over from the last one against the redraw that walks
// every arc: the same random user actions, from the same seed, with reuse on and off, must
// leave after each action the same drawing, readout, points and curve for the ways out.
// REUSE_SEED=<n> repeats a run.
class tst_RedrawReuse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup()
    {
        setArcWalkReuse(true);
        setArcWalkThreads(0);
        app::destroyWindows();
    }
    void reuseDrawsAsAFullWalk();

private:
    struct Run
    {
        QStringList actions;
        std::vector<QByteArray> states;
        QByteArray csv;       // the exported points after the last action
        long long walked = 0; // arcs walked in the whole run
    };
    Run run(quint32 seed, bool reuse, int threads);
};

namespace {

constexpr int actionCount = 120;

// What the user and the ways out get after an action, as one digest: the drawing, every box of
// the editor, the joins panel, each arc's points to the bit, and the rest of the curve that the
// ways out write (the CSV of the last state is compared whole).
QByteArray stateOf(Form4 *form)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QImage drawing = drawingOf(form);
    hash.addData(QByteArrayView(drawing.constBits(), drawing.sizeInBytes()));
    for (const QLineEdit *box : form->findChildren<QLineEdit *>())
        hash.addData((box->objectName() + u'=' + box->text()).toUtf8());
    // The joins panel, placed clear of the curve's extent.
    const QWidget *panel = control<QWidget>(form, "joinsPanel");
    hash.addData(QByteArray::number(panel->isVisible()));
    for (const int side : {panel->x(), panel->y(), panel->width(), panel->height()})
        hash.addData(QByteArray::number(side));
    for (const QLabel *label : panel->findChildren<QLabel *>())
        hash.addData(label->text().toUtf8());
    for (const std::vector<ArcPoint> &arc : form->arcs()) {
        hash.addData(QByteArray::number(qsizetype(arc.size())));
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(arc.data()),
                                    qsizetype(arc.size() * sizeof(ArcPoint))));
    }
    if (const Curve *curve = form->curve()) {
        // The rest of the curve's values; its arcs are the editor's, above.
        hash.addData(parametersText(*curve).toUtf8());
        const auto addBits = [&hash](const auto &value) {
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(&value), sizeof value));
        };
        for (const QLineF &chord : curve->chords)
            addBits(chord);
        for (const double value : {curve->Incr, curve->INST, curve->origin.x(), curve->origin.y(),
                                   curve->pixelWidth, curve->pixelHeight})
            addBits(value);
    }
    return hash.result();
}

QString anyOf(QRandomGenerator &random, const QStringList &texts)
{
    return texts[random.bounded(int(texts.size()))];
}

} // namespace

tst_RedrawReuse::Run tst_RedrawReuse::run(quint32 seed, bool reuse, int threads)
{
    setArcWalkReuse(reuse);
    setArcWalkThreads(threads);
    QRandomGenerator random(seed);
    QTemporaryDir folder;
    QStringList documents;
    Form4 *form = openEditor(EditorFrom::BasePoints);
    // The joins panel and the comb shown, as they follow every redraw.
    for (const char *name : {"actionShowJoins", "actionCurvatureComb"})
        control<QAction>(form, name)->setChecked(true);
    retype(form, "Text9", "1000");
    click(form, "Command1");
    Run result;
    const long long walkedBefore = arcsWalked();
    const QAbstractSlider::SliderAction steps[] = {
        QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
        QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub};
    for (int i = 0; i < actionCount; ++i) {
        const char *bar = random.bounded(2) ? "HScroll1" : "HScroll2";
        QString did;
        switch (random.bounded(12)) {
        case 0:
        case 1: {
            const int option = 1 + random.bounded(4);
            QTest::mouseClick(
                control<QWidget>(form, qPrintable(QStringLiteral("Option%1").arg(option))),
                Qt::LeftButton);
            did = QStringLiteral("segment %1").arg(option);
            break;
        }
        case 2:
        case 3:
        case 4: {
            const int step = random.bounded(4);
            const int times = 1 + random.bounded(3);
            scrollAction(form, bar, steps[step], times);
            did = QStringLiteral("%1 step %2 x%3").arg(bar).arg(step).arg(times);
            break;
        }
        case 5: {
            // A drag: live bending through three positions, then the release.
            auto *scroll = control<QScrollBar>(form, bar);
            scroll->setSliderDown(true);
            for (int k = 0; k < 3; ++k)
                scroll->setSliderPosition(
                    scroll->minimum() + random.bounded(scroll->maximum() - scroll->minimum() + 1));
            scroll->setSliderDown(false);
            did = QStringLiteral("drag %1 to %2").arg(bar).arg(scroll->value());
            break;
        }
        case 6: {
            const char *box = random.bounded(2) ? "Text6" : "Text7";
            const QString text = QString::number(int(random.bounded(1001)) - 500);
            retype(form, box, text);
            QTest::keyClick(control<QLineEdit>(form, box), Qt::Key_Return);
            did = QStringLiteral("typed %1 in %2").arg(text, box);
            break;
        }
        case 7: {
            const char *box = std::array{"Text9", "Text10", "Text11"}[random.bounded(3)];
            const QString text = box == std::string_view("Text9")
                                     ? anyOf(random, {"1000", "5", "250", "999,5", "1000"})
                                     : anyOf(random, {"1", "2", "3", "-1,5", "0,5"});
            retype(form, box, text);
            click(form, "Command1");
            did = QStringLiteral("typed %1 in %2, ESEGUI").arg(text, box);
            break;
        }
        case 8: {
            click(form, random.bounded(2) ? "Command4" : "Command5");
            did = QStringLiteral("Azzera");
            break;
        }
        case 9: {
            const int value = 1 + random.bounded(20);
            control<QScrollBar>(app::form2(), "HScroll1")->setValue(value);
            click(form, "Command1");
            did = QStringLiteral("calibration %1, ESEGUI").arg(value);
            break;
        }
        case 10: {
            const QSize size(600 + random.bounded(500), 500 + random.bounded(400));
            form->resize(size);
            QCoreApplication::processEvents();
            click(form, "Command1");
            did = QStringLiteral("resized to %1 x %2, ESEGUI").arg(size.width()).arg(size.height());
            break;
        }
        default: {
            // Base points moved ("Modifica i PUNTI"), kept as a document, or one opened.
            const int kind = random.bounded(3);
            if (kind == 0) {
                std::array<QString, 10> texts = app::form3()->boxTexts();
                BasePoints points = app::form3()->basePoints();
                const int which = random.bounded(5);
                const double x = 10 + random.bounded(180);
                texts[2 * which] = QString::number(x);
                points.X[which] = Variant::real(x);
                app::form3()->restore(texts, points);
                click(form, "Command1");
                did = QStringLiteral("point %1 at x %2, ESEGUI").arg(which).arg(x);
            } else if (kind == 1 || documents.isEmpty()) {
                const QString name = folder.filePath(QStringLiteral("%1.cinquepunti").arg(i));
                QFile file(name);
                if (!file.open(QIODevice::WriteOnly) ||
                    file.write(documentJson(form->workFile()->document())) < 0)
                    qFatal("cannot write %s", qPrintable(name));
                documents << name;
                did = QStringLiteral("kept as %1").arg(i);
            } else {
                const QString name = anyOf(random, documents);
                if (!app::openWork(name))
                    qFatal("cannot open %s", qPrintable(name));
                did = QStringLiteral("opened %1").arg(QFileInfo(name).baseName());
            }
            break;
        }
        }
        QCoreApplication::processEvents();
        result.actions << did;
        result.states.push_back(stateOf(form));
    }
    result.csv = curveCsv(*form->curve());
    result.walked = arcsWalked() - walkedBefore;
    return result;
}

void tst_RedrawReuse::reuseDrawsAsAFullWalk()
{
    const quint32 seed = qEnvironmentVariableIsSet("REUSE_SEED")
                             ? quint32(qEnvironmentVariableIntValue("REUSE_SEED"))
                             : 28;
    // The arcs walked whole on one thread every time, against reuse with the arcs shared by
    // ranges of angles on three (more ranges than cores, whatever the machine).
    const Run full = run(seed, false, 1);
    app::destroyWindows();
    const Run reused = run(seed, true, 3);
    QCOMPARE(reused.actions, full.actions);
    for (std::size_t i = 0; i < full.states.size(); ++i)
        QVERIFY2(reused.states[i] == full.states[i],
                 qPrintable(QStringLiteral("seed %1, action %2: %3")
                                .arg(seed)
                                .arg(i)
                                .arg(full.actions[int(i)])));
    QVERIFY(reused.csv == full.csv);
    // Reuse really took arcs over: a step or a drag walks one arc, not four.
    QVERIFY2(reused.walked * 2 < full.walked,
             qPrintable(QStringLiteral("%1 arcs walked with reuse, %2 without")
                            .arg(reused.walked)
                            .arg(full.walked)));
}

QTEST_MAIN(tst_RedrawReuse)
#include "tst_redrawreuse.moc"
