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
    void dragIsOneStep();
    void keysInBoxesAndWindow();
};

namespace {

template <typename T = QWidget> T *in(const char *name)
{
    return control<T>(app::form4(), name);
}

void trigger(const char *action)
{
    app::form4()->findChild<QAction *>(action)->trigger();
}

bool enabled(const char *action)
{
    return app::form4()->findChild<QAction *>(action)->isEnabled();
}

Form4 *openEditor()
{
    // From the start window, whose frame tells the editor its final size before it draws.
    app::show(app::form1());
    app::show(app::form4());
    if (!QTest::qWaitForWindowActive(app::form4()))
        qFatal("the editor did not become active");
    return app::form4();
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

View view(Form4 *form)
{
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
    QVERIFY(!enabled("actionUndo") && !enabled("actionRedo"));
    QCOMPARE(form->actions().first()->objectName(), QStringLiteral("actionUndo"));

    QList<View> views{view(form)};
    QTest::mouseClick(in("Option2"), Qt::LeftButton);
    for (int i = 0; i < 8; ++i) {
        scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd);
        views << view(form);
    }
    trigger("actionUndo");
    QVERIFY(view(form) == views[7]);
    trigger("actionUndo");
    QVERIFY(view(form) == views[6]);
    QCOMPARE(form->findChild<QAction *>("actionRedo")->text(), "Rifai spostamento verticale");
    trigger("actionRedo");
    QVERIFY(view(form) == views[7]);
    views.removeLast(); // the next step drops the eighth click

    scrollAction(form, "HScroll1", QAbstractSlider::SliderPageStepSub);
    views << view(form);
    QTest::mouseClick(in("Option3"), Qt::LeftButton);
    in<QLineEdit>("Text9")->setText("7");
    in<QLineEdit>("Text10")->setText("2,5");
    click(form, "Command1");
    views << view(form);
    click(form, "Command4");
    QCOMPARE(form->findChild<QAction *>("actionUndo")->text(), "Annulla azzeramento verticale");
    views << view(form);
    click(form, "Command5");
    views << view(form);
    QVERIFY(!enabled("actionRedo"));

    // All the way back, past the choice of BC, to the editor as it opened; then forward again.
    QSignalSpy moves(in<QScrollBar>("HScroll1"), &QScrollBar::valueChanged);
    for (int i = int(views.size()) - 2; i >= 0; --i) {
        trigger("actionUndo");
        QVERIFY2(view(form) == views[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!enabled("actionUndo"));
    for (int i = 1; i < views.size(); ++i) {
        trigger("actionRedo");
        QVERIFY2(view(form) == views[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!enabled("actionRedo") && enabled("actionUndo"));
    QCOMPARE(moves.count(), 0);
}

void tst_EditorHistory::dragIsOneStep()
{
    for (bool tracking : {true, false}) {
        Form4 *form = openEditor();
        const View before = view(form);
        auto *bar = in<QScrollBar>("HScroll2");
        bar->setTracking(tracking);
        bar->setSliderDown(true);
        for (int position : {40, 120, 80})
            bar->setSliderPosition(position);
        QVERIFY(!enabled("actionUndo"));
        bar->setSliderDown(false);
        QCOMPARE(in<QLineEdit>("Text7")->text(), QStringLiteral("80"));
        const View after = view(form);

        trigger("actionUndo");
        QVERIFY(view(form) == before && !enabled("actionUndo"));
        trigger("actionRedo");
        QVERIFY(view(form) == after);
        app::destroyWindows();
    }
}

void tst_EditorHistory::keysInBoxesAndWindow()
{
    Form4 *form = openEditor();
    MessageAnswerer answerer;
    scrollAction(form, "HScroll2", QAbstractSlider::SliderSingleStepAdd, 2);
    trigger("actionUndo"); // the editor can now both undo and redo
    // In a box the keys undo and redo its typing only.
    auto *box = in<QLineEdit>("Text9");
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, "abc");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("5abc"));
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 1);

    // Elsewhere they step the editor, with no check of what the box holds.
    auto *button = in("Command1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 0);
    QCOMPARE(box->text(), QStringLiteral("5"));
    QTest::keyClick(button, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(in<QScrollBar>("HScroll2")->value(), 2);
    QTest::qWait(20);
    QCOMPARE(answerer.texts(), QStringList{});
}

QTEST_MAIN(tst_EditorHistory)
#include "tst_editorhistory.moc"
