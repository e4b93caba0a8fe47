#include "app/application.h"
#include "app/form1.h"
#include "app/recovery.h"
#include "app/windows.h"
#include "editor/form4.h"
#include "editor/workfile.h"
#include "formats/document.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

#include <algorithm>
#include <cstdlib>

// Keeping the work: documents saved and opened through the windows, the unsaved mark, the
// question before changes are lost, the command line and recovery after a run that died.
class tst_WorkFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup()
    {
        app::destroyWindows();
        app::recovery::remove(); // this run's own, so that a test counts only what it made
    }

    void roundTripThroughTheWindows();
    void commandLine();
    void recoveryAfterARunThatDied_data();
    void recoveryAfterARunThatDied();
    void openingAsksAboutWorkWithoutAFile();
    // Last: once "ESCI" has asked the event loop to quit, no modal loop of this process runs.
    void esciAsksOnlyAboutAFilesChanges();
};

namespace {

Form4 *editor()
{
    return app::form4();
}

QAction *action(const char *name)
{
    return control<QAction>(editor(), name);
}

// Everything the user sees of the work: both windows' boxes, the segment, the drawing; and what
// the editor's next redraw reads.
View workView()
{
    return view({app::form3(), editor()});
}

// From the base points window, the points typed and taken, to a bent curve in the editor.
void bend(const QString &firstX, int pages)
{
    app::show(app::form3());
    retype(app::form3(), "Text1", firstX);
    click(app::form3(), "Command3"); // ===>>
    click(app::form3(), "Command2"); // AVANTI
    opened(editor());
    QTest::mouseClick(control<QWidget>(editor(), "Option2"), Qt::LeftButton);
    scrollAction(editor(), "HScroll2", QAbstractSlider::SliderPageStepAdd, pages);
    retype(editor(), "Text10", "2,5");
    click(editor(), "Command1"); // ESEGUI
}

QString recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery";
}

// Whether the one recovery file holds the work as the windows show it now: it is written a
// second after a step, the first of a run of steps, so the file alone may still be an earlier
// step's.
bool recoveryHoldsTheWork()
{
    const QFileInfoList files = QDir(recoveryFolder()).entryInfoList({"*.cinquepunti"});
    if (files.size() != 1)
        return false;
    const auto read = readDocument(files[0].filePath());
    const auto *document = std::get_if<CurveDocument>(&read);
    return document && *document == editor()->workFile()->document();
}

} // namespace

void tst_WorkFile::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // The run that dies, started by recoveryAfterARunThatDied: one step, time for the
    // recovery file, then an end without "ESCI".
    if (qEnvironmentVariableIsSet("CINQUEPUNTI_DIE_AFTER_A_STEP")) {
        app::start();
        bend("12", 3);
        if (!QTest::qWaitFor(recoveryHoldsTheWork, 10000))
            std::_Exit(5); // the parent says so
        std::_Exit(3);
    }
    // Or one that ends with ESCI at once, its work in no file.
    if (qEnvironmentVariableIsSet("CINQUEPUNTI_ESCI_AFTER_A_STEP")) {
        app::start();
        bend("12", 3);
        click(editor(), "Command3");
        std::_Exit(4);
    }
}

void tst_WorkFile::roundTripThroughTheWindows()
{
    app::start();
    bend("-40,25", 3);
    QTest::mouseClick(control<QWidget>(editor(), "Option4"), Qt::LeftButton); // after the step
    const View saved = workView();
    QTemporaryDir dir;
    answerFileDialog("saveAsDialog", dir.filePath("lavoro"));
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    const QString path = dir.filePath("lavoro.cinquepunti");
    QVERIFY(QFile::exists(path));
    QCOMPARE(editor()->windowTitle(), QStringLiteral("lavoro.cinquepunti[*] - Form4"));
    QVERIFY(!editor()->isWindowModified());
    // The export offers the document's folder and name.
    QString offered;
    whenModal<QFileDialog>("saveCurveDialog", [&offered](QFileDialog *dialog) {
        offered = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    action("actionSaveCurve")->trigger();
    QCOMPARE(QFileInfo(offered), QFileInfo(dir.filePath("lavoro.svg")));

    // Everything changed, then saved with Ctrl+S: no dialog, no mark.
    bend("300", 5);
    QVERIFY(editor()->isWindowModified());
    const View changed = workView();
    QTest::keyClick(editor(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!editor()->isWindowModified());
    scrollAction(editor(), "HScroll1", QAbstractSlider::SliderPageStepSub);

    // Opening asks first about the changes, then brings back the last save exactly, with no
    // word about the boxes of the work it replaces.
    retype(editor(), "Text9", "abc");
    MessageAnswerer discard({}, QMessageBox::Discard);
    answerFileDialog("openDialog", path);
    action("actionOpen")->trigger();
    QCOMPARE(discard.texts(), QStringList{"Salvare le modifiche a «lavoro.cinquepunti»?"});
    QVERIFY(workView() == changed && workView().texts != saved.texts);
    QVERIFY(!editor()->isWindowModified());
    QVERIFY(!action("actionUndo")->isEnabled());
}

void tst_WorkFile::commandLine()
{
    QTemporaryDir dir;
    app::start();
    bend("7", 2);
    const View saved = workView();
    answerFileDialog("saveAsDialog", dir.filePath("lavoro.cinquepunti"));
    action("actionSaveAs")->trigger();
    app::destroyWindows();

    app::start({dir.filePath("lavoro.cinquepunti")});
    QVERIFY(QTest::qWaitForWindowActive(editor()));
    QVERIFY(!app::form1()->isVisible());
    QVERIFY(workView() == saved);
    app::destroyWindows();

    MessageAnswerer answerer;
    app::start({dir.filePath("manca.cinquepunti")});
    QCOMPARE(answerer.texts(),
             QStringList{"Impossibile aprire il file " + dir.filePath("manca.cinquepunti") +
                         ": il file non esiste"});
    QVERIFY(app::form1()->isVisible());
}

void tst_WorkFile::recoveryAfterARunThatDied_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("question");
    QTest::newRow("died") << "CINQUEPUNTI_DIE_AFTER_A_STEP" << 3
                          << "Cinquepunti si è chiuso senza ESCI e ha lasciato un lavoro del ";
    QTest::newRow("ESCI without a file")
        << "CINQUEPUNTI_ESCI_AFTER_A_STEP" << 4 << "Il lavoro del ";
}

void tst_WorkFile::recoveryAfterARunThatDied()
{
    QFETCH(QString, how);
    QFETCH(int, exitCode);
    QFETCH(QString, question);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(how, "1");
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    QVERIFY2(child.exitCode() != 5, "the run's recovery file never held its last step");
    QCOMPARE(child.exitCode(), exitCode);
    QCOMPARE(QDir(recoveryFolder()).entryList({"*.cinquepunti"}).size(), 1);

    {
        MessageAnswerer yes({}, QMessageBox::Yes);
        app::start();
        QCOMPARE(yes.texts().size(), 1);
        QVERIFY2(yes.texts()[0].startsWith(question), qPrintable(yes.texts()[0]));
    }
    QVERIFY(editor()->isVisible() && !app::form1()->isVisible());
    QCOMPARE(control<QScrollBar>(editor(), "HScroll2")->value(), 150);
    QCOMPARE(editor()->table().row(Segment::BC).SPY.toDouble(), 150.0);
    QCOMPARE(control<QLineEdit>(app::form3(), "Text1")->text(), QStringLiteral("12"));
    QCOMPARE(editor()->windowTitle(), QStringLiteral("Form4"));
}

void tst_WorkFile::openingAsksAboutWorkWithoutAFile()
{
    // From the start window, a dialog cancelled makes no editor.
    app::start();
    whenModal<QFileDialog>("openDialog", [](QFileDialog *dialog) { dialog->reject(); });
    control<QAction>(app::form1(), "actionOpen")->trigger();
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                         [](const QWidget *w) { return w->objectName() == u"Form4"; }));

    // Over a work in no file, "Apri..." asks first; "Annulla" keeps it all, and opens nothing.
    bend("5", 1);
    const View bent = workView();
    MessageAnswerer cancel({}, QMessageBox::Cancel);
    action("actionOpen")->trigger();
    QCOMPARE(cancel.texts(), QStringList{"Salvare il lavoro, che non è in nessun file?"});
    QVERIFY(workView() == bent);
    QVERIFY(action("actionUndo")->isEnabled());
}

void tst_WorkFile::esciAsksOnlyAboutAFilesChanges()
{
    app::start();
    bend("5", 1);
    QTemporaryDir dir;
    answerFileDialog("saveAsDialog", dir.filePath("lavoro"));
    action("actionSaveAs")->trigger();
    scrollAction(editor(), "HScroll2", QAbstractSlider::SliderSingleStepAdd);
    {
        MessageAnswerer cancel({}, QMessageBox::Cancel);
        click(editor(), "Command3"); // ESCI
        QCOMPARE(cancel.texts().size(), 1);
        QVERIFY(!app::isEnding() && editor()->isVisible());
    }
    QTRY_VERIFY_WITH_TIMEOUT(recoveryHoldsTheWork(), 10000); // the last step's included
    QCOMPARE(QDir(recoveryFolder()).entryList({"*.cinquepunti"}).size(), 1);
    {
        MessageAnswerer discard({}, QMessageBox::Discard);
        click(editor(), "Command3");
        QVERIFY(app::isEnding());
    }
    // "ESCI" ends the work: nothing is left to bring back.
    QCOMPARE(QDir(recoveryFolder()).entryList({"*.cinquepunti"}), QStringList{});
    app::destroyWindows();
    app::start();
    bend("5", 1); // a work without a file ends at once
    MessageAnswerer none;
    click(editor(), "Command3");
    QVERIFY(app::isEnding());
    QCOMPARE(none.texts(), QStringList{});
    // ... and leaves it for the next start.
    QCOMPARE(QDir(recoveryFolder()).entryList({"*.cinquepunti"}).size(), 1);
}

QTEST_MAIN(tst_WorkFile)
#include "tst_workfile.moc"
