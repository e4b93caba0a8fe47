#pragma once

// What a test does as a user: clicks, scroll actions, typing, answers to message boxes and
// dialogs; and what it looks at: the editor's grid, what a window shows.

#include "app/form1.h"
#include "app/windows.h"
#include "editor/form4.h"
#include "pixels.h"
#include "points/form3.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

// Answers every message box that opens while it lives, pressing the button given (OK where the
// box has no such button), and keeps their texts.
// A callback, if given, runs while each box is still open (for looking at the windows then).
class MessageAnswerer
{
public:
    explicit MessageAnswerer(std::function<void(QMessageBox *)> whileOpen = {},
                             QMessageBox::StandardButton press = QMessageBox::Ok)
        : m_whileOpen(std::move(whileOpen)), m_press(press)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }

    QStringList texts() const { return m_texts; }
    QString titles() const { return m_titles.join(u'|'); }
    int iconless() const { return m_iconless; }

    // Lets the event loop run until this answerer has looked for a box twice more: by then the
    // events that the last action posted and the timers due meanwhile have run, and any box
    // they opened has been answered. A check that no box came waits so, on the loop itself
    // (bounded, for a loop that never comes back), not on a guess of the clock.
    [[nodiscard]] bool lookTwiceMore(int timeoutMs = 5000)
    {
        const int from = m_looks;
        return QTest::qWaitFor([this, from] { return m_looks >= from + 2; }, timeoutMs);
    }

private:
    void answer()
    {
        ++m_looks;
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_texts << box->text();
        m_titles << box->windowTitle();
        if (box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1 &&
            box->standardButton(box->buttons().first()) == QMessageBox::Ok)
            ++m_iconless;
        if (m_whileOpen)
            m_whileOpen(box);
        // A box without the button asked for is answered with OK, or else "Annulla".
        QAbstractButton *button = box->button(m_press);
        for (QMessageBox::StandardButton fallback : {QMessageBox::Ok, QMessageBox::Cancel})
            if (!button)
                button = box->button(fallback);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QTimer m_timer;
    std::function<void(QMessageBox *)> m_whileOpen;
    QMessageBox::StandardButton m_press;
    QStringList m_texts;
    QStringList m_titles;
    int m_iconless = 0;
    int m_looks = 0;
};

template <typename T> T *control(QWidget *window, const char *name);

// Once a modal dialog of that class and name is open (from the event loop its exec() runs),
// does what a user would do in it. A dialog that has not opened by the deadline never will: the
// test running then fails, naming the dialog, and nothing is left polling into later tests.
template <typename Dialog>
void whenModal(const QString &name, std::function<void(Dialog *)> act, int deadlineMs = 20000)
{
    auto *timer = new QTimer(qApp);
    const QDeadlineTimer deadline(deadlineMs);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        const bool open = dialog && dialog->isVisible() && dialog->objectName() == name;
        if (!open && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (open)
            act(dialog);
        else
            QTest::qFail(qPrintable(QStringLiteral("the dialog \"%1\" never opened").arg(name)),
                         __FILE__, __LINE__);
    });
    timer->start(5);
}

// Once the file dialog of that name is open, as a user would: whatever `choose` does first (a
// filter picked), then the name typed and Enter.
inline void answerFileDialog(const QString &name, const QString &fileName,
                             std::function<void(QFileDialog *)> choose = {})
{
    whenModal<QFileDialog>(name, [=](QFileDialog *dialog) {
        if (choose)
            choose(dialog);
        auto *box = control<QLineEdit>(dialog, "fileNameEdit");
        box->setFocus();
        box->setText(fileName);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

template <typename T> T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

inline void click(QWidget *window, const char *buttonName)
{
    QTest::mouseClick(control<QPushButton>(window, buttonName), Qt::LeftButton);
}

// Shown and active, as the user meets it.
template <typename W> W *opened(W *window)
{
    app::show(window);
    if (!QTest::qWaitForWindowActive(window))
        qFatal("%s did not become active", qPrintable(window->objectName()));
    return window;
}

// Replaces a box's text as the user would: select it all, delete, type.
inline void retype(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

inline void retype(QWidget *window, const char *boxName, const QString &text)
{
    retype(control<QLineEdit>(window, boxName), text);
}

inline void scrollAction(QWidget *window, const char *barName, QAbstractSlider::SliderAction action,
                         int times = 1)
{
    auto *bar = control<QAbstractSlider>(window, barName);
    for (int i = 0; i < times; ++i)
        bar->triggerAction(action);
}

// What the user sees of a drawing surface: its drawing alone, one pixel per logical pixel.
inline QImage drawingOf(QWidget *surface)
{
    QImage image(surface->size(), QImage::Format_RGB32);
    surface->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

// The colour the editor draws its arcs in (QBColor 4).
inline constexpr QRgb darkRed = qRgb(128, 0, 0);

// A segment bent as the user bends it: its option chosen, then the vertical bar paged.
struct Bend
{
    const char *option;
    int pages;
};

// Where a test comes to the editor from.
enum class EditorFrom {
    Itself,      // shown before any other window
    StartWindow, // over the start window, whose frame tells the editor its final size first
    BasePoints,  // the default base points taken ("===>>"): every arc has a curve to draw
};

// The editor shown, active and at its final size, so that every later picture is drawn at that
// size; then bent as asked, every redraw done.
inline Form4 *openEditor(EditorFrom from = EditorFrom::Itself,
                         std::initializer_list<Bend> bends = {})
{
    if (from == EditorFrom::StartWindow)
        app::show(app::form1());
    else if (from == EditorFrom::BasePoints)
        click(app::form3(), "Command3");
    Form4 *form = opened(app::form4());
    if (!QTest::qWaitForWindowExposed(form))
        qFatal("the editor did not show");
    for (const Bend &bend : bends) {
        QTest::mouseClick(control<QWidget>(form, bend.option), Qt::LeftButton);
        scrollAction(form, "HScroll2", QAbstractSlider::SliderPageStepAdd, bend.pages);
    }
    QCoreApplication::processEvents();
    return form;
}

// The editor's readout grid, a row per segment (AB, BC, CD, DE): SP.V, SP.O, ALF.V, ALF.O.
inline const char *const gridNames[4][4] = {{"Text1", "Text2", "Text3", "Text4"},
                                            {"Text5", "Text8", "Text12", "Text13"},
                                            {"Text14", "Text15", "Text16", "Text17"},
                                            {"Text18", "Text19", "Text20", "Text21"}};

// What a segment's readout row shows.
inline QStringList gridRow(int segment)
{
    QStringList texts;
    for (const char *name : gridNames[segment])
        texts << control<QLineEdit>(app::form4(), name)->text();
    return texts;
}

// What the user sees of the editor and what its next redraw reads. Two views are equal when
// the drawing, every box of the windows looked at, the options, the current parameters and the
// segment table are.
struct View
{
    QImage drawing;
    QStringList texts; // each box as name=text, window by window, then each option checked or not
    CurrentParameters current;
    SegmentTable table;
    friend bool operator==(const View &, const View &) = default;
};

// The editor's view, with the boxes of the windows given (the editor's own by default).
inline View view(const QList<QWidget *> &windows = {})
{
    Form4 *form = app::form4();
    View v{drawingOf(form), {}, form->current(), form->table()};
    for (QWidget *window : windows.isEmpty() ? QList<QWidget *>{form} : windows)
        for (const QLineEdit *box : window->findChildren<QLineEdit *>())
            v.texts << box->objectName() + u'=' + box->text();
    for (const QRadioButton *option : form->findChildren<QRadioButton *>())
        v.texts << QString::number(option->isChecked());
    return v;
}
