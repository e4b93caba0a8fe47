#include "app/form1.h"
#include "app/windows.h"
#include "editor/form4.h"
#include "useractions.h"

#include <QAction>
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
    void dragIsOneStep();
    void keysInBoxesAndWindow();
    void boxWithNothingToUndoStepsTheEditor();
    void redoBringsBackWhatWasSeen();
    void stepsThatChangeNothingAreNotKept();
    void dragWithARefusedBoxWaitsForTheRelease();
};

namespace {

template <typename T = QWidget> T *in(const char *name)
{
    return control<T>(app::form4(), name);
}

} // namespace

void tst_EditorHistory::everyStepComesBack()
{
    Form4 *form = openEditor(EditorFrom::StartWindow);
    auto *undo = in<QAction>("actionUndo"), *redo = in<QAction>("actionRedo");
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    QList<View> views{view()};
    QTest::mouseClick(in("Option2"), Qt::LeftButton);
    for (int i = 0; i < 8; ++i) {
        scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd);
        views << view();
    }
    undo->trigger();
    QVERIFY(view() == views[7]);
    undo->trigger();
    QVERIFY(view() == views[6]);
    redo->trigger();
    QVERIFY(view() == views[7]);
    views.removeLast(); // the next step drops the eighth click

    scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepSub);
    views << view();
    QTest::mouseClick(in("Option3"), Qt::LeftButton);
    in<QLineEdit>("Text9")->setText("7");
    in<QLineEdit>("Text10")->setText("2,5");
    for (const char *button : {"Command1", "Command4", "Command5"}) { // ESEGUI, Azzera, Azzera
        click(form, button);
        views << view();
    }
    QVERIFY(!redo->isEnabled());

    // All the way back, past the choice of BC, to the editor as it opened; then forward again.
    QSignalSpy moves(in<QScrollBar>("HScroll1"), &QScrollBar::valueChanged);
    for (auto i = views.size() - 2; i >= 0; --i) {
        undo->trigger();
        QVERIFY2(view() == views[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!undo->isEnabled());
    for (qsizetype i = 1; i < views.size(); ++i) {
        redo->trigger();
        QVERIFY2(view() == views[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!redo->isEnabled() && undo->isEnabled());
    QCOMPARE(moves.count(), 0);
}

void tst_EditorHistory::dragIsOneStep()
{
    for (bool tracking : {true, false}) {
        openEditor(EditorFrom::StartWindow);
        const View before = view();
        auto *bar = in<QScrollBar>("HScroll2");
        bar->setTracking(tracking);
        bar->setSliderDown(true);
        for (int position : {40, 120, 80})
            bar->setSliderPosition(position);
        QVERIFY(!in<QAction>("actionUndo")->isEnabled());
        bar->setSliderDown(false);
        QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("80"));
        const View after = view();

        in<QAction>("actionUndo")->trigger();
        QVERIFY(view() == before && !in<QAction>("actionUndo")->isEnabled());
        in<QAction>("actionRedo")->trigger();
        QVERIFY(view() == after);
        app::destroyWindows();
    }
}

void tst_EditorHistory::keysInBoxesAndWindow()
{
    Form4 *form = openEditor(EditorFrom::StartWindow);
    MessageAnswerer answerer;
    auto *bar = in<QScrollBar>("HScroll2");
    scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd, 2);
    in<QAction>("actionUndo")->trigger(); // the editor can now both undo and redo
    // In a box the keys undo and redo its typing only.
    auto *box = in<QLineEdit>("Text9");
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, "abc");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("5abc"));
    QCOMPARE(bar->value(), 1);

    // Elsewhere they step the editor, with no check of what the box holds.
    auto *button = in("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QTest::keyClick(button, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(bar->value(), 2);
    // Nor any message later: the answerer looks again once what the keys left posted has run.
    QVERIFY(answerer.lookTwiceMore());
    QCOMPARE(answerer.texts(), QStringList{});
}

void tst_EditorHistory::boxWithNothingToUndoStepsTheEditor()
{
    openEditor(EditorFrom::StartWindow);
    auto *bar = in<QScrollBar>("HScroll2");
    auto *box = in<QLineEdit>("Text7");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "120");
    QTest::keyClick(box, Qt::Key_Return); // a step, and the focus stays in the box
    box->end(false);
    QTest::keyClicks(box, "7");
    // The box's own typing first, then the editor's steps.
    const std::pair<QKeyCombination, QString> keys[] = {{Qt::CTRL | Qt::Key_Z, "120"},
                                                        {Qt::CTRL | Qt::Key_Y, "1207"},
                                                        {Qt::CTRL | Qt::Key_Z, "120"},
                                                        {Qt::CTRL | Qt::Key_Z, "0"},
                                                        {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "120"},
                                                        {Qt::CTRL | Qt::Key_Z, "0"},
                                                        {Qt::CTRL | Qt::Key_Y, "120"}};
    for (const auto &[key, shown] : keys) {
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
        QCOMPARE(box->text(), shown);
        QCOMPARE(bar->value(), shown == "0" ? 0 : 120);
    }
    // The editor may go while the box holds typing not yet applied.
    QTest::keyClicks(box, "7");
    app::destroyWindows();
}

void tst_EditorHistory::redoBringsBackWhatWasSeen()
{
    Form4 *form = openEditor(EditorFrom::StartWindow);
    QTest::mouseClick(in("Option2"), Qt::LeftButton);
    scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd, 3);
    const View afterSecondStep = [&] {
        in<QAction>("actionUndo")->trigger();
        const View v = view();
        in<QAction>("actionRedo")->trigger();
        return v;
    }();
    // After the last step: DE chosen, a new INST drawn by an activation, text over the grid.
    QTest::mouseClick(in("Option4"), Qt::LeftButton);
    retype(form, "Text9", "7");
    opened(app::form1());
    opened(form);
    retype(form, "Text21", "scritto");
    const View seen = view();
    QCOMPARE(form->current().INST.toDouble(), 7.0);

    MessageAnswerer answerer;
    QTest::keyClick(in("Command1"), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(view() == afterSecondStep);
    QTest::keyClick(in("Command1"), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(view() == seen);

    // The next bar move bends DE, the segment on screen; BC keeps its bend.
    const SegmentValues bc = form->table().row(Segment::BC);
    scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(form->table().row(Segment::BC).SPY.toDouble(), bc.SPY.toDouble());
    QCOMPARE(form->table().row(Segment::DE).SPY.toDouble(), 4.0);
    QCOMPARE(answerer.texts(), QStringList{});
}

void tst_EditorHistory::stepsThatChangeNothingAreNotKept()
{
    Form4 *form = openEditor(EditorFrom::StartWindow);
    const View opening = view();
    QTest::mouseClick(in("Option1"), Qt::LeftButton);
    scrollAction(form, "HScroll1", QAbstractSlider::SliderSingleStepAdd);
    click(form, "Command1"); // ESEGUI
    click(form, "Command4"); // Azzera on the vertical bar, already at 0
    auto *bar = in<QScrollBar>("HScroll2");
    bar->setSliderDown(true);
    bar->setSliderPosition(30);
    bar->setSliderPosition(0);
    bar->setSliderDown(false);
    // Nor is a drag back to where it began while a box holds what a check refuses: no message.
    retype(form, "Text9", "abc");
    const View refused = view();
    MessageAnswerer answerer;
    bar->setSliderDown(true);
    bar->setSliderPosition(40);
    bar->setSliderPosition(0);
    bar->setSliderDown(false);
    QCOMPARE(answerer.texts(), QStringList{});
    QVERIFY(view() == refused);
    retype(form, "Text9", "5");

    in<QAction>("actionUndo")->trigger();
    QVERIFY(view() == opening);
    QVERIFY(!in<QAction>("actionUndo")->isEnabled());
}

void tst_EditorHistory::dragWithARefusedBoxWaitsForTheRelease()
{
    Form4 *form = openEditor(EditorFrom::StartWindow);
    const View before = view();
    QTest::mouseClick(in("Option3"), Qt::LeftButton);
    retype(form, "Text10", "x");
    auto *bar = in<QScrollBar>("HScroll2");
    int shownWhileHeld = 0;
    MessageAnswerer answerer([&](QMessageBox *) { shownWhileHeld += bar->isSliderDown(); });
    bar->setSliderDown(true);
    for (int position : {10, 60, 45}) {
        bar->setSliderPosition(position);
        // A box that the move opens, at once or from what it posts, is seen and answered by
        // the time the answerer has looked twice more.
        QVERIFY(answerer.lookTwiceMore());
    }
    QCOMPARE(answerer.texts(), QStringList{});
    bar->setSliderDown(false);
    QCOMPARE(shownWhileHeld, 0);
    QCOMPARE(answerer.texts(), QStringList{"AVY non è un numero"});
    QCOMPARE(in<QLineEdit>("Text10")->text(), QStringLiteral("1"));
    QCOMPARE(form->table().row(Segment::CD).SPY.toDouble(), 45.0);
    const View after = view();
    scrollAction(form, "HScroll1", QAbstractSlider::SliderSingleStepAdd); // a step of its own

    in<QAction>("actionUndo")->trigger();
    QVERIFY(view() == after);
    in<QAction>("actionUndo")->trigger();
    QVERIFY(view() == before);
    QVERIFY(!in<QAction>("actionUndo")->isEnabled());
    in<QAction>("actionRedo")->trigger();
    QVERIFY(view() == after);
}

QTEST_MAIN(tst_EditorHistory)
#include "tst_editorhistory.moc"
