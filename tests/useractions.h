#pragma once

// What a test does as a user: clicks, scroll actions and answers to message boxes.

#include "pixels.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

// Answers every message box that opens while it lives, pressing OK, and keeps their texts.
// A callback, if given, runs while each box is still open (for looking at the windows then).
class MessageAnswerer
{
public:
    explicit MessageAnswerer(std::function<void(QMessageBox *)> whileOpen = {})
        : m_whileOpen(std::move(whileOpen))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }

    QStringList texts() const { return m_texts; }
    QString titles() const { return m_titles.join(u'|'); }
    int iconless() const { return m_iconless; }

private:
    void answer()
    {
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
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }

    QTimer m_timer;
    std::function<void(QMessageBox *)> m_whileOpen;
    QStringList m_texts;
    QStringList m_titles;
    int m_iconless = 0;
};

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
