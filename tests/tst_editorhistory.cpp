#include "app/form1.h"
#include "app/windows.h"
#include "editor/form4.h"
#include "useractions.h"

#include <QAction>
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
    void dragIsOneStep();
    void keysInBoxesAndWindow();
};

namespace {

template <typename T = QWidget> T *in(const char *name)
{
    return control<T>(app::form4(), name);
}

// From the start window, whose frame tells the editor its final size before it draws.
Form4 *openEditor()
{
    app::show(app::form1());
    return opened(app::form4());
}

// What the user sees and what the next redraw reads.
struct View
{
    QImage drawing;
    QStringList texts; // every box, then whether each option is checked
    CurrentParameters current;
    SegmentTable table;
    friend bool operator==(const View &, const View &) = default;
};

View view()
{
    Form4 *form = app::form4();
    View v{drawingOf(form), {}, form->current(), form->table()};
    for (const QLineEdit *box : form->findChildren<QLineEdit *>())
        v.texts << box->text();
    for (const QRadioButton *option : form->findChildren<QRadioButton *>())
        v.texts << QString::number(option->isChecked());
    return v;
}

} // namespace

void tst_EditorHistory::everyStepComesBack()
{
    Form4 *form = openEditor();
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
        openEditor();
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
    Form4 *form = openEditor();
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
    QTest::qWait(20);
    QCOMPARE(answerer.texts(), QStringList{});
}

QTEST_MAIN(tst_EditorHistory)
#include "tst_editorhistory.moc"
