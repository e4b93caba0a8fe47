#include "overlays.h"

#include "app/windows.h"
#include "editor/form4.h"
#include "points/form3.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// The editor at INST 1000 on a real X server, BC chosen, for scripts/livebending.py, which drags
// the thumb of HScroll2; with "--show joins,comb,offset" the joins panel, the curvature comb
// and an offset line over the drawing as well. Prints where the thumb is, then, once the thumb is
// let go, what the editor saw: each mouse move the bar received (with the X server's time of it),
// each redraw, and each update of the window that put a new drawing on the screen, in milliseconds
// on the monotonic clock, which the X server's times count too.

namespace {

double now()
{
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Recorder : public QApplication
{
public:
    using QApplication::QApplication;

    QScrollBar *bar = nullptr;
    QWidget *editor = nullptr;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!bar)
            return QApplication::notify(receiver, event);
        if (receiver == bar && event->type() == QEvent::MouseMove)
            m_lastMoveX = static_cast<QMouseEvent *>(event)->globalPosition().x();
        const bool update =
            event->type() == QEvent::UpdateRequest &&
            (receiver == editor || (editor->windowHandle() &&
                                    receiver == static_cast<QObject *>(editor->windowHandle())));
        const bool paint = receiver == editor && event->type() == QEvent::Paint;
        if (receiver == bar && event->type() == QEvent::MouseMove)
            m_lines.push_back(QStringLiteral("move %1 %2 %3")
                                  .arg(now(), 0, 'f', 3)
                                  .arg(m_lastMoveX)
                                  .arg(static_cast<QInputEvent *>(event)->timestamp()));
        const bool wasInUpdate = m_inUpdate;
        m_inUpdate = m_inUpdate || update;
        const bool result = QApplication::notify(receiver, event);
        m_inUpdate = wasInUpdate;
        if (paint)
            m_painted = true;
        // The update request paints the window and hands its backing store to the X server; a
        // paint outside one (an expose) is counted when it ends.
        if ((update || (paint && !m_inUpdate)) && m_painted && m_unshownRedraws > 0) {
            m_lines.push_back(QStringLiteral("shown %1 %2 %3")
                                  .arg(now(), 0, 'f', 3)
                                  .arg(m_shownMoveX)
                                  .arg(m_unshownRedraws));
            m_unshownRedraws = 0;
            m_painted = false;
        }
        return result;
    }

    // Called after each of the bar's redraws, once the editor's own handler has returned.
    void redrawn()
    {
        m_lines.push_back(QStringLiteral("redraw %1 %2 %3")
                              .arg(now(), 0, 'f', 3)
                              .arg(bar->value())
                              .arg(m_lastMoveX));
        m_shownMoveX = m_lastMoveX;
        ++m_unshownRedraws;
    }

    void print() const
    {
        for (const QString &line : m_lines)
            std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }

private:
    std::vector<QString> m_lines;
    double m_lastMoveX = -1;
    double m_shownMoveX = -1;
    int m_unshownRedraws = 0;
    bool m_painted = false;
    bool m_inUpdate = false;
};

// Shows the overlays named (comma-separated: joins, comb, offset); false for a name it does not
// know.
bool show(Form4 *editor, const QString &names)
{
    for (const QString &name : names.split(u',', Qt::SkipEmptyParts))
        if (!showOverlay(editor, name)) {
            std::fprintf(stderr, "nothing to show called %s\n", qPrintable(name));
            return false;
        }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    Recorder application(argc, argv);
    app::form3()->Command3_Click(); // the default base points
    Form4 *editor = app::form4();
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--show"));
        at >= 0 && !show(editor, arguments.value(at + 1)))
        return 2;
    app::showEditor();
    auto *bar = editor->findChild<QScrollBar *>("HScroll2");
    editor->findChild<QLineEdit *>("Text9")->setText(QStringLiteral("1000"));
    // BC chosen, so that each value the thumb passes bends its arc; with no segment chosen a
    // bar bends nothing, and no arc is walked again.
    editor->findChild<QRadioButton *>("Option2")->click();
    editor->findChild<QPushButton *>("Command1")->click();
    bar->setValue(bar->minimum());
    application.bar = bar;
    application.editor = editor;
    QObject::connect(bar, &QScrollBar::valueChanged, &application, [&] { application.redrawn(); });
    QObject::connect(bar, &QScrollBar::sliderReleased, &application, [&] {
        QTimer::singleShot(500, &application, [&] {
            application.print();
            app::destroyWindows();
            QCoreApplication::exit(0);
        });
    });
    // The thumb's centre and the room it can move in, in screen coordinates, once the window
    // has its place on the screen.
    QTimer::singleShot(500, &application, [bar] {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                         QStyle::SC_ScrollBarSlider, bar);
        const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                          QStyle::SC_ScrollBarGroove, bar);
        const QPoint centre = bar->mapToGlobal(thumb.center());
        const int room = groove.right() - thumb.right();
        std::printf("thumb %d %d %d %d %d\n", centre.x(), centre.y(), room, bar->minimum(),
                    bar->maximum());
        std::fflush(stdout);
    });
    // Never left running, whatever the driver does.
    QTimer::singleShot(60000, &application, [] { QCoreApplication::exit(1); });
    return application.exec();
}
