#include "app/desktop.h"

#include "draw/surface.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace app {

namespace {

// The action of a key on a horizontal scroll bar, or SliderNoAction for keys Qt keeps. Qt's
// own mapping is inverted on its scroll bars for Left and Right (and, inverted back, for
// PageUp and PageDown): here every key is mapped, whatever the bar's settings.
QAbstractSlider::SliderAction barAction(int key)
{
    switch (key) {
    case Qt::Key_Right:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_Left:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

bool isPlainEnter(const QKeyEvent *key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Puts the focus frame above the controls beside its widget: a caption that overlaps a scroll
// bar's edge would hide that side of the frame.
class FrameAboveStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_FocusFrame_AboveWidget)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Watches a window's controls that take the focus: the keys of its scroll bars and push
// buttons, and how each control shows the focus.
class KeyboardFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressed(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event));
        case QEvent::FocusIn: {
            auto *widget = static_cast<QWidget *>(watched);
            // Qt shows a button's or option's focus only after Tab in the window, and forgets
            // it at each activation or click; here the focus always shows.
            widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
            // The style shows no focus on these, or only a text cursor in a multi-line box.
            if (!qobject_cast<QScrollBar *>(widget) && !qobject_cast<DrawingSurface *>(widget) &&
                !qobject_cast<QPlainTextEdit *>(widget))
                break;
            if (!m_frame) {
                m_frame = new QFocusFrame(static_cast<QWidget *>(parent()));
                auto *style = new FrameAboveStyle;
                style->setParent(m_frame);
                m_frame->setStyle(style);
            }
            m_frame->setWidget(widget);
            break;
        }
        case QEvent::FocusOut:
            if (m_frame && m_frame->widget() == watched)
                m_frame->setWidget(nullptr); // hides it
            break;
        default:
            break;
        }
        return false;
    }

private:
    static bool keyPressed(QWidget *watched, const QKeyEvent *key)
    {
        if (auto *bar = qobject_cast<QScrollBar *>(watched);
            bar && bar->orientation() == Qt::Horizontal) {
            const QAbstractSlider::SliderAction action = barAction(key->key());
            if (action == QAbstractSlider::SliderNoAction || key->modifiers() & ~Qt::KeypadModifier)
                return false;
            bar->triggerAction(action); // valueChanged once, when the value moves
            return true;
        }
        if (auto *button = qobject_cast<QPushButton *>(watched)) {
            if (!isPlainEnter(key))
                return false;
            if (!key->isAutoRepeat() && button->isEnabled())
                button->click();
            return true;
        }
        return false;
    }

    QPointer<QFocusFrame> m_frame; // one for the window, moved to whichever control has focus
};

enum class TypingStep { None, Undo, Redo };

// The step of a box's own typing that a key asks for: the platform's keys for it, and those that
// most programs take, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z (Qt's X11 keys give a box no Ctrl+Y).
TypingStep askedStep(const QKeyEvent *key)
{
    const QKeyCombination pressed(key->modifiers() & ~Qt::KeypadModifier,
                                  static_cast<Qt::Key>(key->key()));
    if (key->matches(QKeySequence::Undo) || pressed == (Qt::CTRL | Qt::Key_Z))
        return TypingStep::Undo;
    if (key->matches(QKeySequence::Redo) || pressed == (Qt::CTRL | Qt::Key_Y) ||
        pressed == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
        return TypingStep::Redo;
    return TypingStep::None;
}

// Whether the control is a box with that step of its own typing to take.
bool hasTypingStep(const QWidget *widget, TypingStep step)
{
    if (step == TypingStep::None)
        return false;
    const bool undo = step == TypingStep::Undo;
    if (const auto *box = qobject_cast<const QLineEdit *>(widget))
        return undo ? box->isUndoAvailable() : box->isRedoAvailable();
    const QTextDocument *document = nullptr;
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget); box && !box->isReadOnly())
        document = box->document();
    else if (const auto *rich = qobject_cast<const QTextEdit *>(widget);
             rich && !rich->isReadOnly())
        document = rich->document();
    return document && (undo ? document->isUndoAvailable() : document->isRedoAvailable());
}

// Whether the key is the shortcut of one of the window's actions that would fire now.
bool isWindowShortcut(const QWidget *window, const QKeyEvent *key)
{
    const QKeySequence pressed(
        QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(key->key())));
    const QList<QAction *> actions = window->actions();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction *action) {
        if (!action->isEnabled() || !action->isVisible() ||
            action->shortcutContext() == Qt::WidgetShortcut)
            return false;
        const QList<QKeySequence> keys = action->shortcuts();
        return std::any_of(keys.begin(), keys.end(), [&](const QKeySequence &shortcut) {
            return shortcut.matches(pressed) == QKeySequence::ExactMatch;
        });
    });
}

// The keys that ask for a menu: Qt's X11 platform turns the Menu key into a request of its own,
// before the key itself reaches the open menu; no platform of Qt 6.4 does so for Shift+F10.
bool isMenuKey(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

// Watches a window and its controls that take the focus: the window's shortcuts before a
// control's own keys, and the window's menu for the keyboard.
class WindowActionsFilter : public QObject
{
public:
    explicit WindowActionsFilter(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = static_cast<QWidget *>(watched);
        switch (event->type()) {
        case QEvent::ShortcutOverride: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (!isWindowShortcut(m_window, key))
                return false;
            // Claimed for a box's own undo or redo, which the key press takes; otherwise kept
            // from the control's claim, so that the shortcut fires.
            key->setAccepted(hasTypingStep(widget, askedStep(key)));
            return true;
        }
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (isMenuKey(key)) {
                openWindowMenu(widget, key->modifiers());
                return true;
            }
            // A box takes the steps of its platform's keys itself; not Ctrl+Y under X11.
            const TypingStep step = askedStep(key);
            if (!hasTypingStep(widget, step) ||
                key->matches(step == TypingStep::Undo ? QKeySequence::Undo : QKeySequence::Redo))
                return false;
            // QLineEdit, QPlainTextEdit and QTextEdit all have these two slots.
            QMetaObject::invokeMethod(widget, step == TypingStep::Undo ? "undo" : "redo");
            return true;
        }
        case QEvent::ContextMenu: {
            const auto *request = static_cast<QContextMenuEvent *>(event);
            if (request->reason() != QContextMenuEvent::Keyboard || widget == m_window)
                return false;
            openWindowMenu(widget, request->modifiers());
            return true;
        }
        default:
            return false;
        }
    }

private:
    // The window's menu, as its context menu policy makes it, under the control where its text
    // cursor is (a multi-line box: under the cursor's line), or under its middle: what the
    // menu is for stays in sight above it.
    void openWindowMenu(QWidget *control, Qt::KeyboardModifiers modifiers)
    {
        const QRect cursor = control->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const bool lines =
            qobject_cast<QPlainTextEdit *>(control) || qobject_cast<QTextEdit *>(control);
        const QPoint at(cursor.center().x(), lines ? cursor.bottom() + 1 : control->height());
        QContextMenuEvent request(QContextMenuEvent::Keyboard, control->mapTo(m_window, at),
                                  control->mapToGlobal(at), modifiers);
        QCoreApplication::sendEvent(m_window, &request);
    }

    QWidget *m_window;
};

} // namespace

void fitForKeyboard(QWidget *window)
{
    auto *filter = new KeyboardFilter(window);
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->focusPolicy() & Qt::TabFocus)
            control->installEventFilter(filter);
    }
    for (QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>())
        box->setTabChangesFocus(true);
}

void putWindowActionsFirst(QWidget *window)
{
    auto *filter = new WindowActionsFilter(window);
    window->installEventFilter(filter);
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->focusPolicy() & Qt::TabFocus)
            control->installEventFilter(filter);
    }
}

void coverDrawing(QWidget *window)
{
    const QColor back = window->palette().color(QPalette::Window);
    auto cover = [&](QWidget *control) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Window, back);
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    };
    // A label in a frame lies on the frame's own cover: were it opaque too, it would erase the
    // frame's border where it crosses it.
    for (QLabel *label : window->findChildren<QLabel *>())
        if (!qobject_cast<QGroupBox *>(label->parentWidget()))
            cover(label);
    for (QGroupBox *frame : window->findChildren<QGroupBox *>())
        cover(frame);
}

} // namespace app
