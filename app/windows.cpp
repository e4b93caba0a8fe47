#include "app/windows.h"

#include "app/desktop.h"
#include "app/form1.h"
#include "app/recovery.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "editor/workfile.h"
#include "points/form3.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

namespace app {

namespace {

// Notices the platform's activation of any of the four windows.
class ActivationFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate)
            windowActivated(static_cast<QWidget *>(watched));
        return false;
    }
};

struct Windows
{
    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form2> form2;
    std::unique_ptr<Form3> form3;
    std::unique_ptr<Form4> form4;
    QPointer<QWidget> lastActive;
    // The window a closing dialog gives the keyboard back to, until its activation arrives.
    QPointer<QWidget> returningTo;
    std::optional<double> documentRatio;
    ActivationFilter filter;
    bool ending = false;
    bool workEnded = false;
};

Windows *windows()
{
    static Windows *instance = [] {
        // Widgets must go before the application object does.
        qAddPostRoutine(destroyWindows);
        return new Windows;
    }();
    return instance;
}

template <typename Form> Form *created(std::unique_ptr<Form> &slot)
{
    if (!slot) {
        slot = std::make_unique<Form>();
        slot->installEventFilter(&windows()->filter);
        fitForKeyboard(slot.get());
    }
    return slot.get();
}

void runActivationHandler(QWidget *window)
{
    Windows *w = windows();
    if (window == w->form1.get())
        w->form1->Form_Activate();
    else if (window == w->form2.get())
        w->form2->Form_Activate();
    else if (window == w->form3.get())
        w->form3->Form_Activate();
    else if (window == w->form4.get())
        w->form4->Form_Activate();
}

bool isProgramWindow(QWidget *window)
{
    const Windows *w = windows();
    return window && (window == w->form1.get() || window == w->form2.get() ||
                      window == w->form3.get() || window == w->form4.get());
}

constexpr const char *placedProperty = "cinquepuntiPlaced";

// Frame margins of a window already shown, for sizing a maximised one before it appears.
QMargins knownFrameMargins()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (isProgramWindow(window) && window->isVisible()) {
            const QRect frame = window->frameGeometry();
            const QRect client = window->geometry();
            return {client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom()};
        }
    }
    return {};
}

} // namespace

Form1 *form1()
{
    return created(windows()->form1);
}
Form2 *form2()
{
    return created(windows()->form2);
}
Form3 *form3()
{
    return created(windows()->form3);
}
Form4 *form4()
{
    return created(windows()->form4);
}

void showStart()
{
    show(form1());
}

void showCalibration()
{
    show(form2());
}

void showPoints()
{
    show(form3());
}

void showEditor()
{
    show(form4());
}

double calibrationRatio()
{
    Windows *w = windows();
    if (!w->form2 && w->documentRatio)
        return *w->documentRatio;
    return form2()->Incr();
}

std::array<QString, 10> basePointTexts()
{
    return form3()->boxTexts();
}

void restoreBasePoints(const std::array<QString, 10> &texts, const BasePoints &points)
{
    form3()->restore(texts, points);
}

void useDocumentRatio(double ratio)
{
    windows()->documentRatio = ratio;
}

bool openWork(const QString &fileName, bool recovered)
{
    return form4()->workFile()->open(fileName, recovered);
}

void askToOpenWork(QWidget *parent)
{
    // From the start window before there is any editor, none is made for a dialog cancelled.
    if (Windows *w = windows(); w->form4)
        w->form4->workFile()->askToOpen(parent);
    else if (const QString fileName = WorkFile::chooseToOpen(parent); !fileName.isEmpty())
        openWork(fileName);
}

BasePoints basePoints()
{
    return form3()->basePoints();
}

namespace {

// Places a window before its first show: a maximised one at a first guess of its size, which is
// the final size where no window manager maximises it (a bare X server); any other centred on
// the screen, wholly on it where it fits. Later shows leave it where the user put it.
void placeAtFirstShow(QWidget *window, const QRect &available)
{
    const Qt::WindowStates state = window->windowState();
    if (state.testFlag(Qt::WindowMaximized)) {
        // The resize drops the maximised state, so it is set again.
        window->resize(available.marginsRemoved(knownFrameMargins()).size());
        window->setWindowState(state);
    } else if (!window->property(placedProperty).toBool()) {
        QRect frame = QRect(QPoint(), window->size()).marginsAdded(knownFrameMargins());
        frame.moveCenter(available.center());
        window->move(std::max(frame.left(), available.left()),
                     std::max(frame.top(), available.top()));
        window->setProperty(placedProperty, true);
    }
}

// Shows a maximised window and waits, a second at most and without user input, until it is on
// the screen filling the available area, its frame included. Its activation draws for the size
// the user first sees, which only the window manager knows: one gives a maximised window no
// borders, another keeps them, offscreen activates the window before resizing it. Until then the
// platform's activations run nothing; the show runs the handler itself afterwards.
void showMaximisedAndWait(QWidget *window, const QRect &available)
{
    Windows *w = windows();
    const auto listen = [w](bool on) {
        for (QWidget *form : std::initializer_list<QWidget *>{w->form1.get(), w->form2.get(),
                                                              w->form3.get(), w->form4.get()}) {
            if (form && on)
                form->installEventFilter(&w->filter);
            else if (form)
                form->removeEventFilter(&w->filter);
        }
    };
    listen(false);
    window->show();
    QEventLoop loop;
    const auto settled = [window, available] {
        const QWindow *handle = window->windowHandle();
        return handle && handle->isExposed() && window->frameGeometry().size() == available.size();
    };
    struct Watch : QObject
    {
        std::function<void()> check;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Expose || event->type() == QEvent::Resize ||
                event->type() == QEvent::Move)
                check();
            return false;
        }
    } watch;
    // Checked after the event has been handled, when the widget has its new size.
    watch.check = [&] {
        QTimer::singleShot(0, &loop, [&] {
            if (settled())
                loop.quit();
        });
    };
    if (!settled()) {
        window->windowHandle()->installEventFilter(&watch);
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        window->windowHandle()->removeEventFilter(&watch);
    }
    listen(true);
}

// Brings the window to the front as the active one, and runs its activation handler: bare X
// servers never activate anything.
void activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    // A move of the program's own outranks a closing dialog's return.
    windows()->returningTo = nullptr;
    windowActivated(window);
}

} // namespace

void show(QWidget *window)
{
    if (isEnding())
        return;
    // Activations the platform has already queued belong to earlier moves: delivered now, they
    // can no longer arrive after this show and run a handler behind its back.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool appearing = !window->isVisible();
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (appearing && screen) {
        const QRect available = screen->availableGeometry();
        placeAtFirstShow(window, available);
        if (window->windowState().testFlag(Qt::WindowMaximized))
            showMaximisedAndWait(window, available);
    }
    activate(window);
}

void windowActivated(QWidget *window)
{
    Windows *w = windows();
    if (w->returningTo) {
        if (window != w->returningTo)
            return;
        w->returningTo = nullptr;
    }
    if (w->ending || !isProgramWindow(window) || window == w->lastActive)
        return;
    w->lastActive = window;
    runActivationHandler(window);
}

DialogScope::DialogScope(QWidget *opener)
    : m_window(opener ? opener->window() : nullptr), m_focus(QApplication::focusWidget())
{
}

DialogScope::~DialogScope()
{
    Windows *w = windows();
    if (!m_window || !m_window->isVisible() || w->ending || !isProgramWindow(m_window))
        return;
    if (m_focus && m_focus->window() == m_window)
        m_focus->setFocus(Qt::ActiveWindowFocusReason);
    // Where the platform has already given the keyboard back (offscreen, most window managers)
    // there is nothing to wait for.
    if (QApplication::activeWindow() == m_window)
        return;
    w->returningTo = m_window;
    m_window->activateWindow();
    // Bounded: a window manager that refuses the request must not silence every activation.
    QTimer::singleShot(500, m_window, [w, window = m_window] {
        if (w->returningTo == window)
            w->returningTo = nullptr;
    });
}

void endProgram()
{
    Windows *w = windows();
    if (w->form4 && !w->form4->workFile()->mayLeave())
        return;
    endWork();
    w->ending = true;
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}

void endWork()
{
    // Once: ESCI ends the work, and then its closing of the last window would again.
    Windows *w = windows();
    if (std::exchange(w->workEnded, true))
        return;
    if (w->form4)
        w->form4->workFile()->end();
    else
        recovery::remove();
}

bool isEnding()
{
    return windows()->ending;
}

void destroyWindows()
{
    Windows *w = windows();
    w->form4.reset();
    w->form3.reset();
    w->form2.reset();
    w->form1.reset();
    w->lastActive = nullptr;
    w->documentRatio.reset();
    w->ending = false;
    w->workEnded = false;
}

} // namespace app
