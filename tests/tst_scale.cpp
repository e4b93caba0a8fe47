#include "app/application.h"
#include "app/form1.h"
#include "app/windows.h"
#include "calibration/form2.h"
#include "editor/form4.h"
#include "points/form3.h"
#include "useractions.h"

#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTextBrowser>

#include <cstring>

// Every window at the screen's scale; CTest runs it at QT_SCALE_FACTOR 1 and 2: each text
// shows whole in its control, and the drawings and pictures have a pixel per device pixel.
class tst_Scale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { app::destroyWindows(); }

    void textsFit();
    void drawingsAtDevicePixels();
    void instructionPicturesAtDevicePixels();

private:
    QList<QWidget *> windows;
};

namespace {

// Why a control does not show its whole text; empty when it does.
QString cutText(QWidget *control)
{
    const QFontMetricsF metrics(control->font());
    const auto wrapped = [&](const QString &text, const QRect &room) {
        for (const QString &word : text.split(u' ', Qt::SkipEmptyParts))
            if (metrics.horizontalAdvance(word) > room.width())
                return QStringLiteral("\"%1\" is wider than %2").arg(word).arg(room.width());
        const QRectF needed = metrics.boundingRect(
            QRectF(room.topLeft(), QSizeF(room.width(), 1e6)), Qt::TextWordWrap, text);
        // The last line needs no leading beneath it.
        return needed.height() - metrics.leading() > room.height()
                   ? QStringLiteral("needs %1 of %2 high").arg(needed.height()).arg(room.height())
                   : QString();
    };
    const auto oneLine = [&](const QString &text, qreal width) {
        const qreal needed = metrics.horizontalAdvance(text);
        return needed > width ? QStringLiteral("needs %1 of %2 wide").arg(needed).arg(width)
                              : QString();
    };
    if (auto *label = qobject_cast<QLabel *>(control)) {
        if (label->text().isEmpty()) // a picture
            return {};
        return label->wordWrap() ? wrapped(label->text(), label->contentsRect())
                                 : oneLine(label->text(), label->contentsRect().width());
    }
    if (auto *option = qobject_cast<QRadioButton *>(control)) // the indicator, then the text
        return option->sizeHint().width() > option->width() ? QStringLiteral("needs %1 of %2 wide")
                                                                  .arg(option->sizeHint().width())
                                                                  .arg(option->width())
                                                            : QString();
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton style;
        style.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &style, button);
        return wrapped(button->text(), room);
    }
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        return oneLine(frame->title(), frame->contentsRect().width());
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        // Inside the frame and the box's own margins of 2 pixels.
        const int frameWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        return oneLine(box->text(), box->contentsRect().width() - 2 * frameWidth - 4);
    }
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control)) {
        const bool scrolls =
            area->verticalScrollBar()->maximum() > 0 || area->horizontalScrollBar()->maximum() > 0;
        return scrolls ? QStringLiteral("scrolls") : QString();
    }
    return {};
}

// Whether image holds picture pixel for pixel somewhere, both in RGB32.
bool holds(const QImage &image, const QImage &picture)
{
    const auto rowBytes = std::size_t(picture.width()) * 4;
    for (int y = 0; y + picture.height() <= image.height(); ++y) {
        for (int x = 0; x + picture.width() <= image.width(); ++x) {
            int row = 0;
            while (row < picture.height() &&
                   std::memcmp(image.constScanLine(y + row) + std::size_t(x) * 4,
                               picture.constScanLine(row), rowBytes) == 0)
                ++row;
            if (row == picture.height())
                return true;
        }
    }
    return false;
}

} // namespace

void tst_Scale::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    app::start();
    windows = {opened(app::form1()), opened(app::form2()), opened(app::form3()),
               opened(app::form4())};
}

void tst_Scale::textsFit()
{
    QStringList cut;
    for (QWidget *window : windows)
        for (QWidget *control : window->findChildren<QWidget *>())
            if (control->isVisibleTo(window))
                if (const QString why = cutText(control); !why.isEmpty())
                    cut << window->objectName() + "." + control->objectName() + ": " + why;
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
}

void tst_Scale::drawingsAtDevicePixels()
{
    const qreal ratio = app::form4()->devicePixelRatioF();
    QCOMPARE(ratio, qreal(qgetenv("QT_SCALE_FACTOR").toDouble() ?: 1));
    const QList<DrawingSurface *> drawings = {app::form2(), app::form4(),
                                              control<DrawingSurface>(app::form3(), "Picture1")};
    for (const DrawingSurface *drawing : drawings) {
        QCOMPARE(drawing->image().devicePixelRatio(), ratio);
        QVERIFY(drawing->image().width() >= drawing->width() * ratio &&
                drawing->image().height() >= drawing->height() * ratio);
    }
    // The figure of the base points' document.
    for (const QLabel *label : control<QWidget>(app::form3(), "OLE1")->findChildren<QLabel *>())
        if (!label->pixmap().isNull())
            QCOMPARE(label->pixmap().devicePixelRatio(), ratio);
}

void tst_Scale::instructionPicturesAtDevicePixels()
{
    auto *page = control<QTextBrowser>(app::form1(), "OLE1");
    const QImage shown = page->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const bool doubled = page->devicePixelRatioF() == 2;
    for (const char *name : {"immagine1", "immagine2", "immagine3", "immagine4"}) {
        const QString file = QStringLiteral(":/resources/%1%2.png").arg(name, doubled ? "@2x" : "");
        const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!picture.isNull() && holds(shown, picture), qPrintable(file));
    }
}

QTEST_MAIN(tst_Scale)
#include "tst_scale.moc"
