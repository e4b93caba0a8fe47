#include "app/form1.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAccessible>
#include <QFocusFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextEdit>
#include <QWheelEvent>

// What a keyboard or screen reader user meets: keys on the bars, Tab, Enter, focus, names; and
// what shows of the drawing around the controls.
class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { app::destroyWindows(); }

    void barKeys();
    void tabVisitsEveryControl();
    void enterClicksAButtonOnly();
    void focusShowsOutsideThePicture();
    void drawingStaysUnderControls();
    void filledBoxShowsItsStart();
    void accessibleNames();
    void keyboardOpensTheDrawingsMenu();
};

namespace {

QList<QWidget *> windows()
{
    return {app::form1(), app::form2(), app::form3(), app::form4()};
}

QString accessibleText(QWidget *widget, QAccessible::Text kind)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(kind) : QString();
}

bool isTabStop(const QWidget *widget)
{
    return widget->isVisibleTo(widget->window()) && widget->isEnabled() &&
           (widget->focusPolicy() & Qt::TabFocus);
}

// A group of option buttons is one stop, entered at one of them; arrows move inside.
QWidget *stopOf(QWidget *widget)
{
    return qobject_cast<QRadioButton *>(widget) ? widget->parentWidget() : widget;
}

} // namespace

void tst_Keyboard::barKeys()
{
    for (const char *bar : {"HScroll2", "HScroll1"}) {
        auto *scroll = control<QScrollBar>(opened(app::form4()), bar);
        const int limit = scroll->maximum();
        scroll->setFocus();
        QSignalSpy changes(scroll, &QScrollBar::valueChanged);
        const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 1},     {Qt::Key_Right, 2},
                                                 {Qt::Key_Left, 1},      {Qt::Key_PageDown, 51},
                                                 {Qt::Key_PageUp, 1},    {Qt::Key_End, limit},
                                                 {Qt::Key_Right, limit}, {Qt::Key_Home, -limit}};
        int expectedChanges = 0;
        for (const auto &[key, value] : steps) {
            expectedChanges += value != scroll->value();
            QTest::keyClick(scroll, key);
            QCOMPARE(scroll->value(), value);
            QCOMPARE(changes.size(), expectedChanges); // the handler runs once per actual change
        }
        // The wheel turned towards the user raises the value.
        QWheelEvent down(QPointF(5, 5), scroll->mapToGlobal(QPointF(5, 5)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(scroll, &down);
        QVERIFY(scroll->value() > -limit);
    }

    // The calibration bar has the focus at opening: Right steps it from 1 to 2.
    QWidget *calibration = opened(app::form2());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(control<QScrollBar>(calibration, "HScroll1")->value(), 2);
    QCOMPARE(control<QLineEdit>(calibration, "Text1")->text(), QStringLiteral("0,55"));
}

void tst_Keyboard::tabVisitsEveryControl()
{
    for (QWidget *window : windows()) {
        opened(window);
        QSet<QWidget *> stops, visited;
        for (QWidget *child : window->findChildren<QWidget *>())
            if (isTabStop(child))
                stops << stopOf(child);
        QWidget *first = QApplication::focusWidget();
        QVERIFY2(stops.contains(first), qPrintable(window->objectName()));
        for (qsizetype i = 0; i < stops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << stopOf(QApplication::focusWidget());
        }
        QCOMPARE(visited, stops);
        QCOMPARE(QApplication::focusWidget(), first);
    }
    // The legend lets Tab through, its text unchanged.
    auto *legend = control<QPlainTextEdit>(app::form4(), "Text22");
    const QString text = legend->toPlainText();
    legend->setFocus();
    QTest::keyClick(legend, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(app::form4(), "Text2"));
    QCOMPARE(legend->toPlainText(), text);
}

void tst_Keyboard::enterClicksAButtonOnly()
{
    QWidget *form = opened(app::form3());
    auto *draw = control<QPushButton>(form, "Command3");
    QSignalSpy clicks(draw, &QPushButton::clicked);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        draw->setFocus(); // the click opened the editor
        QTest::keyClick(draw, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    QCOMPARE(clicks.size(), 2);

    // In a box, Enter does nothing: no button clicks, the text stays.
    retype(form, "Text1", "-3");
    QTest::keyClick(control<QWidget>(form, "Text1"), Qt::Key_Return);
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QStringLiteral("-3"));
}

void tst_Keyboard::focusShowsOutsideThePicture()
{
    QWidget *form = opened(app::form3());
    click(form, "Command3");
    auto *picture = control<QWidget>(form, "Picture1");
    const QImage before = drawingOf(picture);
    for (QWidget *stop : {picture, control<QWidget>(app::form4(), "HScroll2")}) {
        opened(stop->window());
        stop->setFocus();
        auto *frame = stop->window()->findChild<QFocusFrame *>();
        QVERIFY(frame && frame->widget() == stop && frame->isVisible());
        const QRect place(stop->mapTo(frame->parentWidget(), QPoint(0, 0)), stop->size());
        QVERIFY(frame->geometry().contains(place) && frame->geometry() != place);
    }
    QCOMPARE(drawingOf(picture), before);

    // A button shows its focus from the window's opening, before any Tab.
    app::destroyWindows();
    QWidget *editor = opened(app::form4());
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(editor, "Command1"));
    QStyleOption option;
    option.initFrom(QApplication::focusWidget());
    QVERIFY(option.state & QStyle::State_HasFocus &&
            option.state & QStyle::State_KeyboardFocusChange);
}

void tst_Keyboard::drawingStaysUnderControls()
{
    // A = (-300, 200): the first chord and arc run across the bars' frames and the labels.
    QWidget *points = opened(app::form3());
    retype(points, "Text1", "-300");
    retype(points, "Text2", "200");
    click(points, "Command3");
    Form4 *form = opened(app::form4());
    const QImage seen = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage drawing = drawingOf(form);
    int coveredArc = 0;
    for (QWidget *cover : form->findChildren<QWidget *>()) {
        if (!qobject_cast<QLabel *>(cover) && !qobject_cast<QGroupBox *>(cover))
            continue;
        const QRect area(cover->mapTo(form, QPoint(0, 0)), cover->size());
        QVERIFY2(countPixels(seen.copy(area), darkRed) == 0, qPrintable(cover->objectName()));
        coveredArc += countPixels(drawing.copy(area), darkRed);
    }
    QVERIFY(coveredArc > 0); // the arc is there, beneath
}

void tst_Keyboard::filledBoxShowsItsStart()
{
    QWidget *form = opened(app::form4());
    QTest::mouseClick(control<QWidget>(form, "Option1"), Qt::LeftButton);
    retype(form, "Text10", "-1E+308");
    click(form, "Command1");
    auto *cell = control<QLineEdit>(form, "Text3"); // AB, ALF.V
    QVERIFY2(cell->text().startsWith(u'-'), qPrintable(cell->text()));
    QCOMPARE(cell->cursorPosition(), 0);
    auto *typed = control<QLineEdit>(form, "Text10"); // what the user typed is untouched
    QCOMPARE(typed->cursorPosition(), typed->text().size());
}

void tst_Keyboard::accessibleNames()
{
    for (QWidget *window : windows()) {
        QSet<QString> names;
        for (QWidget *child : window->findChildren<QWidget *>()) {
            const bool showsValue = qobject_cast<QLineEdit *>(child) ||
                                    qobject_cast<QAbstractScrollArea *>(child) ||
                                    qobject_cast<DrawingSurface *>(child);
            if (child->objectName().isEmpty() || !(isTabStop(child) || showsValue))
                continue;
            const QString name = accessibleText(child, QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(child->objectName()));
            names << name;
        }
    }
    auto name = [](QWidget *window, const char *control) {
        return accessibleText(::control<QWidget>(window, control), QAccessible::Name);
    };
    QCOMPARE(name(app::form3(), "Text1"), QStringLiteral("A, ascissa"));
    QCOMPARE(name(app::form4(), "Text2"), QStringLiteral("AB, SP.O"));
    QCOMPARE(name(app::form4(), "Text6"), QStringLiteral("SPOSTAMENTO ORIZZONTALE, valore"));
    QCOMPARE(control<QLabel>(app::form3(), "Label3")->buddy(),
             control<QWidget>(app::form3(), "Text5"));
    for (QWidget *drawing :
         QList<QWidget *>{app::form2(), app::form4(), control<QWidget>(app::form3(), "Picture1")})
        QVERIFY(!accessibleText(drawing, QAccessible::Description).isEmpty());

    // The windows say what they are, and every scroll bar, Qt's own too, has a name.
    QSet<QString> windowNames;
    for (QWidget *window : windows()) {
        windowNames << accessibleText(window, QAccessible::Name);
        for (QScrollBar *bar : window->findChildren<QScrollBar *>())
            QVERIFY(!accessibleText(bar, QAccessible::Name).isEmpty());
    }
    QVERIFY(windowNames.size() == 4 && !windowNames.contains(QString()));
    QCOMPARE(name(app::form4(), "Label6"), QStringLiteral("Scala da -850 a +850"));
    QVERIFY(accessibleText(::control<QWidget>(app::form4(), "Frame3"), QAccessible::Description)
                .startsWith("Le frecce"));
    // Each base point's box, the ordinate's too, has a label that a reader follows to it.
    for (QLineEdit *box : app::form3()->findChildren<QLineEdit *>())
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->relations(QAccessible::Label).size(),
                 1);
    // The page tells what each of its pictures shows.
    auto *page = ::control<QTextEdit>(app::form1(), "OLE1");
    const QString described = accessibleText(page, QAccessible::Description);
    int pictures = 0;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat format = it.fragment().charFormat(); format.isImageFormat()) {
                const QString shows = format.stringProperty(QTextFormat::ImageAltText);
                pictures += !shows.isEmpty() && described.contains(shows);
            }
    QCOMPARE(pictures, 4);
}

void tst_Keyboard::keyboardOpensTheDrawingsMenu()
{
    QWidget *form = opened(app::form4());
    const std::function<void(QWidget *)> requests[] = {
        [](QWidget *at) { QTest::keyClick(at, Qt::Key_Menu); },
        [](QWidget *at) { QTest::keyClick(at, Qt::Key_F10, Qt::ShiftModifier); },
        // What the X11 platform sends for the Menu key, before the key itself.
        [](QWidget *at) {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(),
                                    at->mapToGlobal(QPoint()));
            QApplication::sendEvent(at, &event);
        }};
    for (const char *name : {"Text9", "HScroll2"}) {
        for (const auto &request : requests) {
            auto *focused = control<QWidget>(form, name);
            focused->setFocus();
            int menus = 0;
            QStringList entries;
            QRect place;
            QTimer watch;
            connect(&watch, &QTimer::timeout, [&] {
                if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                    ++menus;
                    place = menu->geometry().adjusted(-1, -1, 1, 1);
                    for (const QAction *action : menu->actions())
                        entries << action->text();
                    menu->close();
                }
            });
            watch.start(5);
            request(focused);
            QTest::qWait(50); // a box's own menu, or a second one, would open meanwhile
            // One menu, the drawing's, with a corner on the control.
            QVERIFY2(menus == 1 && entries.contains("Scala reale...") &&
                         place.intersects(QRect(focused->mapToGlobal(QPoint()), focused->size())),
                     name);
        }
    }
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
