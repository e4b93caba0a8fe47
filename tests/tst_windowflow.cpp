#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

// Start-up, the moves between the four windows and the activation rule.
class tst_WindowFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void startOpensOnlyTheStartWindow();
    void startWindowLayout();
    void instructionsDocument();
    void firstAvantiCalibratesLaterOnesEdit();
    void everyMoveOfTheTable();
    void activationRunsOnlyOnAChangeOfWindow();
    void messageBoxClosingRunsNoActivation();
    void esciEndsTheProgram();
    void closingTheStartWindowLeavesTheOthers();
    void windowsOpenCentredAndStayWhereMoved();
};

namespace {

// The program's windows that exist; with onlyVisible, those on the screen.
QStringList programWindows(bool onlyVisible = false)
{
    QStringList names;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName().startsWith(u"Form") && (window->isVisible() || !onlyVisible))
            names << window->objectName();
    names.sort();
    return names;
}

QWidget *activeProgramWindow()
{
    QCoreApplication::processEvents();
    QWidget *active = QApplication::activeWindow();
    return active && active->objectName().startsWith(u"Form") ? active : nullptr;
}

} // namespace

void tst_WindowFlow::startOpensOnlyTheStartWindow()
{
    QVERIFY(programWindows().isEmpty());
    app::start();
    QCOMPARE(programWindows(), QStringList{"Form1"});
    QVERIFY(app::form1()->isVisible());
    QCOMPARE(app::form1()->windowTitle(), QStringLiteral("Form1"));
    QVERIFY(!app::form1()->VAIF().toDouble());
    QVERIFY(app::form1()->VAIF().isUnset());
}

void tst_WindowFlow::startWindowLayout()
{
    app::start();
    Form1 *form = app::form1();
    QCOMPARE(form->size(), QSize(843, 602));
    auto *document = control<QTextBrowser>(form, "OLE1");
    auto *avanti = control<QPushButton>(form, "Command1");
    QCOMPARE(document->geometry(), QRect(6, 14, 721, 553));
    QCOMPARE(avanti->geometry(), QRect(704, 288, 73, 97));
    QCOMPARE(avanti->text(), QStringLiteral("AVANTI"));
    QVERIFY(document->isReadOnly());
    // The button stands over the document's right edge, drawn above it.
    QCOMPARE(form->childAt(710, 300), avanti);
}

void tst_WindowFlow::instructionsDocument()
{
    app::start();
    QTextDocument *document = control<QTextBrowser>(app::form1(), "OLE1")->document();
    const QStringList expected = {
        "Tutti i dati che compaiono nelle caselle sono dati di partenza, puramente indicativi. "
        "Il programma prevede la scrittura di cinque punti che daranno quattro segmenti, come "
        "indicato in SEGMENTI:",
        "\uFFFC",
        "Nell\u2019ultima pagina compaiono i segmenti ottenuti dai punti dati ciascuno dei quali "
        "è la corda di una curva: a questo punto il lavoro consiste nel cliccare su un segmento "
        "e impostare le variazioni che vogliamo apportare. Le variazioni riguardano soltanto lo "
        "specifico segmento.",
        "Cambiando di vota in volta il segmento si otterrà una curva continua unica. ",
        "",
        "\uFFFCI valori positivi e negativi degli spostamenti variano la forma della curva, che "
        "avrà sempre come corda il segmento relativo.",
        "I numeri in neretto sono i valori degli spostamenti: sulla freccetta di 1 unità, di 50 "
        "all\u2019interno della barra. I valori che compariranno assieme agli altri dati "
        "potranno servire per ricomporre l\u2019equazione originaria in altra parte.",
        "",
        "\uFFFCPositivo o negativo l\u2019INCREMENTO ALFA aumenta il valore dell\u2019angolo a "
        "seguito "
        "dello SPOSTAMENTO VERTICALE o ORIZZONTALE ottenendo una deformazione della curva "
        "sempre relativa a quel determinato SEGMENTO.",
        " ",
        "",
        "\uFFFCL\u2019Incremento dei Punti-Curva non altera la forma della curva ma serve ad "
        "aumentare il numero dei punti-grafici che la compongono.",
        "",
    };
    QStringList paragraphs;
    QList<QSize> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        paragraphs << block.text();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QCOMPARE(format.font().pointSizeF(), 10.0);
            QVERIFY(QFontInfo(format.font()).fixedPitch());
            if (format.isImageFormat()) {
                const QTextImageFormat image = format.toImageFormat();
                pictures << QSize(image.width(), image.height());
                QVERIFY(!document->resource(QTextDocument::ImageResource, image.name()).isNull());
            }
        }
    }
    QCOMPARE(paragraphs, expected);
    QCOMPARE(pictures,
             (QList<QSize>{QSize(107, 121), QSize(482, 126), QSize(151, 86), QSize(151, 42)}));
}

void tst_WindowFlow::firstAvantiCalibratesLaterOnesEdit()
{
    app::start();
    click(app::form1(), "Command1");
    QCOMPARE(app::form1()->VAIF(), Variant::integer(99));
    QCOMPARE(programWindows(), (QStringList{"Form1", "Form2"}));
    QCOMPARE(activeProgramWindow(), app::form2());
    QVERIFY(app::form1()->isVisible());

    // The calibration was never accepted: every later press still goes to the editor.
    for (int press = 0; press < 2; ++press) {
        click(app::form1(), "Command1");
        QCOMPARE(activeProgramWindow(), app::form4());
        QCOMPARE(app::form1()->VAIF(), Variant::integer(99));
    }
    QCOMPARE(programWindows(true), (QStringList{"Form1", "Form2", "Form4"}));
    QVERIFY(app::form2()->isVisible());
}

void tst_WindowFlow::everyMoveOfTheTable()
{
    app::start();
    click(app::form1(), "Command1");
    scrollAction(app::form2(), "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    click(app::form2(), "Command1");
    QCOMPARE(activeProgramWindow(), app::form3());
    click(app::form3(), "Command2");
    QCOMPARE(activeProgramWindow(), app::form4());
    // Form2 and Form4 fill the screen.
    QVERIFY(app::form4()->windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(app::form4()->frameGeometry().size(),
             app::form4()->screen()->availableGeometry().size());
    QCOMPARE(app::form2()->size(), app::form4()->size());

    click(app::form4(), "Command6"); // "?"
    QCOMPARE(activeProgramWindow(), app::form1());
    QVERIFY(app::form4()->isVisible());
    click(app::form1(), "Command1");
    QCOMPARE(activeProgramWindow(), app::form4());

    app::form4()->PSet(500, 500, Qt::black);
    click(app::form4(), "Command7"); // "Modifica i PUNTI" clears before leaving
    QCOMPARE(activeProgramWindow(), app::form3());
    QVERIFY(app::form4()->isVisible());
    const QImage blank = app::form4()->image();
    QCOMPARE(blank.pixelColor(blank.width() / 2, blank.height() / 2),
             app::form4()->backgroundColour());

    // No move closes a window: all four stay open, behind one another.
    QCOMPARE(programWindows(), (QStringList{"Form1", "Form2", "Form3", "Form4"}));
    QCOMPARE(programWindows(true), programWindows());
}

void tst_WindowFlow::activationRunsOnlyOnAChangeOfWindow()
{
    app::start();
    click(app::form1(), "Command1");
    Form2 *calibration = app::form2();
    scrollAction(calibration, "HScroll1", QAbstractSlider::SliderSingleStepAdd, 3);
    QCOMPARE(calibration->Incr(), 0.59);

    // The same window again, as the platform reports it or as a show: nothing runs.
    app::windowActivated(calibration);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(calibration, &activate);
    app::show(calibration);
    QCOMPARE(calibration->Incr(), 0.59);

    // The user clicks into the start window and back: the calibration starts over.
    QApplication::sendEvent(app::form1(), &activate);
    QApplication::sendEvent(calibration, &activate);
    QCOMPARE(calibration->Incr(), 0.51);
    QCOMPARE(control<QScrollBar>(calibration, "HScroll1")->value(), 4);
}

void tst_WindowFlow::messageBoxClosingRunsNoActivation()
{
    app::start();
    click(app::form1(), "Command1");
    Form2 *calibration = app::form2();
    scrollAction(calibration, "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    scrollAction(calibration, "HScroll1", QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(calibration->Incr(), 0.53);
    {
        MessageAnswerer answers;
        click(calibration, "Command1");
        QCOMPARE(answers.texts(), QStringList{"Impostare la risoluzione SCHERMO"});
    }
    // Under a window manager the window behind the closed box is activated again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(calibration, &activate);
    QCOMPARE(calibration->Incr(), 0.53);
}

void tst_WindowFlow::esciEndsTheProgram()
{
    for (const char *from : {"Form2", "Form3", "Form4"}) {
        app::start();
        click(app::form1(), "Command1");
        scrollAction(app::form2(), "HScroll1", QAbstractSlider::SliderSingleStepAdd);
        click(app::form2(), "Command1");
        click(app::form3(), "Command2");
        QWidget *window = QString(from) == u"Form2"   ? static_cast<QWidget *>(app::form2())
                          : QString(from) == u"Form3" ? static_cast<QWidget *>(app::form3())
                                                      : static_cast<QWidget *>(app::form4());
        // Clicked while the event loop runs, as a user clicks: the loop ends, and with 0. The
        // guard ends a loop that ESCI failed to end, with 1.
        QTimer::singleShot(0, window, [window, from] {
            click(window, QString(from) == u"Form3" ? "Command1" : "Command3");
        });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(app::isEnding());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        // Nothing moves any more.
        click(app::form1(), "Command1");
        QVERIFY(!app::form4()->isVisible());
        app::destroyWindows();
    }
}

void tst_WindowFlow::closingTheStartWindowLeavesTheOthers()
{
    app::start();
    click(app::form1(), "Command1");
    app::form1()->close();
    QVERIFY(!app::form1()->isVisible());
    QVERIFY(app::form2()->isVisible());
    QVERIFY(!app::isEnding());
    // "?" on the editor opens the same start window again, its flag kept.
    scrollAction(app::form2(), "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    click(app::form2(), "Command1");
    click(app::form3(), "Command2");
    click(app::form4(), "Command6");
    QVERIFY(app::form1()->isVisible());
    QCOMPARE(app::form1()->VAIF(), Variant::integer(99));
}

void tst_WindowFlow::windowsOpenCentredAndStayWhereMoved()
{
    app::start();
    Form1 *form = app::form1();
    const QRect available = form->screen()->availableGeometry();
    QVERIFY(form->frameGeometry().left() >= available.left());
    QVERIFY(form->frameGeometry().top() >= available.top());
    // Centred; the first window cannot know the frame it will get, a few pixels.
    QVERIFY(std::abs(form->frameGeometry().center().y() - available.center().y()) <= 4);

    // Closed and opened again by "?": where the user had put it.
    form->move(available.topLeft() + QPoint(10, 20));
    const QPoint moved = form->pos();
    form->close();
    app::show(form);
    QCOMPARE(form->pos(), moved);
}

QTEST_MAIN(tst_WindowFlow)
#include "tst_windowflow.moc"
