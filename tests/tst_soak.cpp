#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QFileDialog>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

// A thousand random user actions over the four windows, with the program's invariants checked
// after each. SOAK_SEED=<n> repeats a run.
class tst_Soak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void randomActions();
};

namespace {

constexpr int actionCount = 1000;
constexpr quint32 defaultSeed = 1;

const QStringList entries = {"5",     "0",   "-2",   "2,5",  "abc",  "",
                             "1e400", "inf", "1001", "0,01", "1e30", " 7 "};

const QAbstractSlider::SliderAction scrolls[] = {
    QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
    QAbstractSlider::SliderPageStepAdd,   QAbstractSlider::SliderPageStepSub,
    QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};

// A window of the program if it exists; looking never creates one.
template <typename Form> Form *existing()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form *>(window))
            return form;
    return nullptr;
}

// Window 1 to 4, created if it does not exist yet, as the program itself does.
QWidget *programWindow(int number)
{
    switch (number) {
    case 1:
        return app::form1();
    case 2:
        return app::form2();
    case 3:
        return app::form3();
    }
    return app::form4();
}

// The program's windows on the screen, in name order: the application lists them in no
// stable order, and a seed must always replay the same run.
QList<QWidget *> visibleWindows()
{
    QList<QWidget *> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->objectName().startsWith(u"Form"))
            windows << window;
    std::sort(windows.begin(), windows.end(),
              [](QWidget *a, QWidget *b) { return a->objectName() < b->objectName(); });
    return windows;
}

template <typename T> QList<T *> visibleControls(bool (*accept)(const T *))
{
    QList<T *> found;
    for (QWidget *window : visibleWindows())
        for (T *control : window->findChildren<T *>())
            if (accept(control))
                found << control;
    return found;
}

bool isGridBox(const QLineEdit *box)
{
    if (box->window()->objectName() != u"Form4")
        return false;
    return std::any_of(&gridNames[0][0], &gridNames[0][0] + 16,
                       [box](const char *name) { return box->objectName() == name; });
}

bool isEsci(const QAbstractButton *button)
{
    return button->text() == u"ESCI";
}

QString nameOf(const QWidget *widget)
{
    return widget->window()->objectName() + u'/' + widget->objectName();
}

template <typename T> T *pick(QRandomGenerator &random, const QList<T *> &list)
{
    return list.isEmpty() ? nullptr : list[random.bounded(int(list.size()))];
}

// One kind of user action: does it on a random target and says what it did.
using Action = QString (*)(QRandomGenerator &);

const Action actions[] = {
    [](QRandomGenerator &random) -> QString {
        // Push and option buttons; ESCI is pressed once, at the end.
        auto *button = pick(random, visibleControls<QAbstractButton>(
                                        [](const QAbstractButton *b) { return !isEsci(b); }));
        QTest::mouseClick(button, Qt::LeftButton);
        return "click " + nameOf(button);
    },
    [](QRandomGenerator &random) -> QString {
        auto *bar = pick(random, visibleControls<QScrollBar>([](const QScrollBar *b) {
                             return b->objectName().startsWith(u"HScroll");
                         }));
        if (!bar)
            return "no scroll bar";
        const int action = random.bounded(int(std::size(scrolls)));
        bar->triggerAction(scrolls[action]);
        return QStringLiteral("scroll %1 action %2 to %3")
            .arg(nameOf(bar))
            .arg(int(scrolls[action]))
            .arg(bar->value());
    },
    [](QRandomGenerator &random) -> QString {
        // The grid is the program's output: what is typed there lasts only until a redraw.
        auto *box = pick(
            random, visibleControls<QLineEdit>([](const QLineEdit *b) { return !isGridBox(b); }));
        if (!box)
            return "no text box";
        const QString text = entries[random.bounded(int(entries.size()))];
        retype(box, text);
        return "type \"" + text + "\" into " + nameOf(box);
    },
    [](QRandomGenerator &random) -> QString {
        QWidget *window = programWindow(1 + random.bounded(4));
        app::show(window);
        return "show " + window->objectName();
    },
    [](QRandomGenerator &random) -> QString {
        // The user clicking into a window from another one.
        QWidget *window = pick(random, visibleWindows());
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(window, &activate);
        return "activate " + window->objectName();
    },
    [](QRandomGenerator &) -> QString {
        Form3 *form = existing<Form3>();
        if (!form || !form->isVisible())
            return "no Picture1";
        QTest::mouseClick(control<QWidget>(form, "Picture1"), Qt::LeftButton);
        return "click Form3/Picture1";
    },
};

bool isNonZero(const Variant &value)
{
    return value.isUnset() || (std::isfinite(value.toDouble()) && value.toDouble() != 0);
}

// What is wrong with the program now, or an empty text.
QString brokenInvariant()
{
    if (app::isEnding())
        return "the program ended";
    if (const Form2 *form = existing<Form2>();
        form && !(form->Incr() >= 0.51 - 1e-9 && form->Incr() <= 1.11 + 1e-9))
        return QStringLiteral("Incr is %1").arg(form->Incr());
    Form4 *form = existing<Form4>();
    if (!form)
        return {};
    const CurrentParameters &current = form->current();
    if (!isNonZero(current.INST) || !isNonZero(current.AVX) || !isNonZero(current.AVY) ||
        current.INST.toDouble() > maximumPointsIncrement)
        return QStringLiteral("INST %1, AVX %2, AVY %3")
            .arg(current.INST.toText(), current.AVX.toText(), current.AVY.toText());
    for (Segment segment : segments) {
        const int s = int(segment);
        const SegmentValues values = form->table().row(segment);
        if (!isNonZero(values.AVX) || !isNonZero(values.AVY))
            return QStringLiteral("segment %1 holds an ALFA increment 0").arg(s);
        const GridRow row = gridRow(values);
        const QStringList held = {row.SPV, row.SPO, row.ALFV, row.ALFO};
        QStringList shown;
        for (const char *name : gridNames[s])
            shown << control<QLineEdit>(form, name)->text();
        if (shown != held)
            return QStringLiteral("grid row %1 shows %2, the table holds %3")
                .arg(s)
                .arg(shown.join(u' '), held.join(u' '));
    }
    return {};
}

} // namespace

void tst_Soak::randomActions()
{
    const quint32 seed = qEnvironmentVariableIsSet("SOAK_SEED")
                             ? qEnvironmentVariable("SOAK_SEED").toUInt()
                             : defaultSeed;
    QRandomGenerator random(seed);
    MessageAnswerer answerer;
    // A dialog that asks for a file ("Apri...") is closed, as by a user who changed their mind.
    QTimer fileDialogs;
    QObject::connect(&fileDialogs, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    fileDialogs.start(5);
    app::start();
    QStringList done;
    QElapsedTimer clock;
    clock.start();
    qint64 slowest = 0;
    auto report = [&](const QString &what) {
        return QStringLiteral("%1 after action %2 (SOAK_SEED=%3 repeats it); last actions:\n  %4")
            .arg(what)
            .arg(done.size())
            .arg(seed)
            .arg(done.mid(std::max(0, int(done.size()) - 12)).join("\n  "));
    };

    for (int i = 0; i < actionCount; ++i) {
        const qint64 start = clock.elapsed();
        done << actions[random.bounded(int(std::size(actions)))](random);
        QCoreApplication::processEvents();
        const qint64 took = clock.elapsed() - start;
        slowest = std::max(slowest, took);
        QVERIFY2(took < 2000, qPrintable(report(QStringLiteral("%1 ms for one action").arg(took))));
        const QString broken = brokenInvariant();
        QVERIFY2(broken.isEmpty(), qPrintable(report(broken)));
    }
    qInfo("%d actions in %lld ms, the slowest %lld ms; %lld message boxes", actionCount,
          clock.elapsed(), slowest, qint64(answerer.texts().size()));

    // ESCI, from whichever window shows one, ends it all.
    if (visibleControls<QAbstractButton>(isEsci).isEmpty())
        app::show(app::form4());
    QTest::mouseClick(pick(random, visibleControls<QAbstractButton>(isEsci)), Qt::LeftButton);
    QVERIFY(app::isEnding());
    QCoreApplication::processEvents();
    QVERIFY(visibleWindows().isEmpty());
}

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
