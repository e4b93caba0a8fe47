#include "app/form1.h"
#include "app/windows.h"
#include "editor/form4.h"
#include "useractions.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>

// Undo and redo in the curve editor: each step brings back exactly what the editor showed.
class tst_EditorHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void everyStepComesBack();
    void dragIsOneStep_data();
    void dragIsOneStep();
    void boxesKeepTheirOwnUndo();
    void undoShowsNoMessage();
};

namespace {

template <typename T = QWidget> T *in(const char *name)
{
    return control<T>(app::form4(), name);
}

QAction *action(const char *name)
{
    return app::form4()->findChild<QAction *>(QString::fromLatin1(name));
}

Form4 *openEditor()
{
    // From the start window, whose frame tells the editor its final size before it draws.
    app::show(app::form1());
    Form4 *form = app::form4();
    app::show(form);
    if (!QTest::qWaitForWindowActive(form))
        qFatal("the editor did not become active");
    return form;
}

// What the user sees and what the next redraw reads.
struct View
{
    QImage drawing;
    QStringList texts; // the grid, the five boxes, the checked options
    CurrentParameters current;
    SegmentTable table;
};

View view(Form4 *form)
{
    View v{drawingOf(form), {}, form->current(), form->table()};
    for (const char *name : {"Text1",  "Text2",  "Text3",  "Text4",  "Text5",  "Text8",  "Text12",
                             "Text13", "Text14", "Text15", "Text16", "Text17", "Text18", "Text19",
                             "Text20", "Text21", "Text6",  "Text7",  "Text9",  "Text10", "Text11"})
        v.texts << in<QLineEdit>(name)->text();
    for (const char *name : {"Option1", "Option2", "Option3", "Option4"})
        v.texts << QString::number(in<QRadioButton>(name)->isChecked());
    return v;
}

bool same(const View &a, const View &b)
{
    return a.drawing == b.drawing && a.texts == b.texts && a.current == b.current &&
           a.table == b.table;
}

void typeInto(const char *boxName, const QString &text)
{
    auto *box = in<QLineEdit>(boxName);
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

void tst_EditorHistory::everyStepComesBack()
{
    Form4 *form = openEditor();
    QVERIFY(!action("actionUndo")->isEnabled() && !action("actionRedo")->isEnabled());
    QCOMPARE(form->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(form->actions().first()->objectName(), QStringLiteral("actionUndo"));

    QList<View> views{view(form)};
    QTest::mouseClick(in("Option2"), Qt::LeftButton);
    for (int i = 0; i < 8; ++i) {
        scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd);
        views << view(form);
    }
    // Undo, undo, redo.
    action("actionUndo")->trigger();
    QVERIFY(same(view(form), views[7]));
    action("actionUndo")->trigger();
    QVERIFY(same(view(form), views[6]));
    QCOMPARE(action("actionRedo")->text(), QStringLiteral("Rifai spostamento verticale"));
    action("actionRedo")->trigger();
    QVERIFY(same(view(form), views[7]));
    views.removeLast(); // a new step drops the eighth click

    for (int i = 0; i < 2; ++i) {
        scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepSub);
        views << view(form);
    }
    QTest::mouseClick(in("Option3"), Qt::LeftButton);
    typeInto("Text9", "7");
    typeInto("Text10", "2,5");
    click(form, "Command1");
    QCOMPARE(action("actionUndo")->text(), QStringLiteral("Annulla esecuzione"));
    views << view(form);
    click(form, "Command4");
    QCOMPARE(action("actionUndo")->text(), QStringLiteral("Annulla azzeramento verticale"));
    views << view(form);
    click(form, "Command5");
    views << view(form);
    QVERIFY(!action("actionRedo")->isEnabled());

    // All the way back, past the choice of BC, to the editor as it opened; then forward again.
    QSignalSpy moves(in<QScrollBar>("HScroll1"), &QScrollBar::valueChanged);
    const int steps = int(views.size()) - 1;
    for (int i = steps - 1; i >= 0; --i) {
        action("actionUndo")->trigger();
        QVERIFY2(same(view(form), views[i]), qPrintable(QString::number(i)));
    }
    QVERIFY(!action("actionUndo")->isEnabled());
    for (int i = 1; i <= steps; ++i) {
        action("actionRedo")->trigger();
        QVERIFY2(same(view(form), views[i]), qPrintable(QString::number(i)));
    }
    QVERIFY(!action("actionRedo")->isEnabled() && action("actionUndo")->isEnabled());
    QCOMPARE(moves.count(), 0);
}

void tst_EditorHistory::dragIsOneStep_data()
{
    QTest::addColumn<bool>("tracking");
    QTest::newRow("thumb tracked") << true;
    QTest::newRow("value on release") << false;
}

void tst_EditorHistory::dragIsOneStep()
{
    QFETCH(bool, tracking);
    Form4 *form = openEditor();
    const View before = view(form);
    auto *bar = in<QScrollBar>("HScroll2");
    bar->setTracking(tracking);
    bar->setSliderDown(true);
    for (int position : {40, 120, 80})
        bar->setSliderPosition(position);
    QCOMPARE(action("actionUndo")->isEnabled(), false);
    bar->setSliderDown(false);
    QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("80"));
    const View after = view(form);

    action("actionUndo")->trigger();
    QVERIFY(same(view(form), before));
    QVERIFY(!action("actionUndo")->isEnabled());
    action("actionRedo")->trigger();
    QVERIFY(same(view(form), after));
}

void tst_EditorHistory::boxesKeepTheirOwnUndo()
{
    Form4 *form = openEditor();
    scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd, 2);
    action("actionUndo")->trigger(); // the editor can now both undo and redo
    auto *box = in<QLineEdit>("Text9");
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, "0");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("50"));
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 1);

    // Elsewhere in the window the same keys step the editor.
    auto *button = in("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 0);
    QTest::keyClick(button, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 2);
}

void tst_EditorHistory::undoShowsNoMessage()
{
    Form4 *form = openEditor();
    MessageAnswerer answerer;
    scrollAction(form, "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    typeInto("Text9", "abc");
    typeInto("Text11", "0");
    action("actionUndo")->trigger();
    action("actionRedo")->trigger();
    QTest::qWait(20);
    QCOMPARE(answerer.texts(), QStringList{});
    QCOMPARE(in<QLineEdit>("Text9")->text(), QStringLiteral("5"));
    QCOMPARE(in<QLineEdit>("Text11")->text(), QStringLiteral("1"));
}

QTEST_MAIN(tst_EditorHistory)
#include "tst_editorhistory.moc"
