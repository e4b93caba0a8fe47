#pragma once

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>

// How the windows build their controls: each at its layout place, given in twips (1/1440 inch,
// 15 to a pixel at 96 dots per inch), under the name the program knows it by.
namespace app {

// A layout measure in twips, in pixels.
constexpr int twips(int value)
{
    return value / 15;
}

// A control's rectangle inside its container, in twips.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Places a control at its layout rectangle.
inline void placeTwips(QWidget *control, TwipsRect place)
{
    control->setGeometry(twips(place.left), twips(place.top), twips(place.width),
                         twips(place.height));
}

// Creates a control inside parent, named and at its layout place. The arguments come before
// the parent in the control's constructor: its text, caption or orientation.
template <typename Control, typename... Args>
Control *createControl(QWidget *parent, const char *name, TwipsRect place, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    placeTwips(control, place);
    return control;
}

// Sets a box's text from the program, showing its start: QLineEdit leaves the cursor at the end,
// which scrolls the head of a long number ("-1E+308", "1000") out of a narrow box.
inline void setBoxText(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

// Chains the focus through the controls in the order given. (Qt 6.4's QWidget::setTabOrder
// takes one pair at a time.)
inline void setTabOrder(std::initializer_list<QWidget *> order)
{
    QWidget *previous = nullptr;
    for (QWidget *next : order) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

// Adds a named action to the window, for its context menu and its shortcut anywhere in it. A text
// box claims its own editing keys before any shortcut of the window, unless the window puts its
// actions first (app::putWindowActionsFirst).
inline QAction *addWindowAction(QWidget *window, const char *name, const QString &text,
                                const QKeySequence &key = {})
{
    auto *action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

// Starts a new block of the window's context menu.
inline void addMenuSeparator(QWidget *window)
{
    auto *separator = new QAction(window);
    separator->setSeparator(true);
    window->addAction(separator);
}

} // namespace app
