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

private:
    QList<QWidget *> windows;
};

namespace {

// The text a control shows and its room for it, where the text wraps or stays on one line.
struct Shown
{
    QString text;
    QRect room;
    bool wraps = false;
};

Shown shownText(QWidget *control)
{
    QStyleOptionButton button;
    button.initFrom(control);
    QStyle *style = control->style();
    if (auto *label = qobject_cast<QLabel *>(control))
        return {label->text(), label->contentsRect(), label->wordWrap()};
    if (auto *push = qobject_cast<QPushButton *>(control)) // wrapped if need be, centred
        return {push->text(), style->subElementRect(QStyle::SE_PushButtonContents, &button, push),
                true};
    if (auto *option = qobject_cast<QRadioButton *>(control))
        return {option->text(),
                style->subElementRect(QStyle::SE_RadioButtonContents, &button, option)};
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        return {frame->title(), frame->contentsRect()};
    if (auto *box = qobject_cast<QLineEdit *>(control)) { // inside its frame and margins of 2
        const int margin = style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
        return {box->text(), box->contentsRect().adjusted(margin, 0, -margin, 0)};
    }
    return {};
}

bool fits(const Shown &shown, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QRectF needed = metrics.boundingRect(
        QRectF(shown.room.topLeft(), QSizeF(shown.wraps ? shown.room.width() : 1e6, 1e6)),
        shown.wraps ? Qt::TextWordWrap : 0, shown.text);
    // A word wider than the room sticks out of it; the last line needs no leading beneath.
    return needed.width() <= shown.room.width() &&
           needed.height() - metrics.leading() <= shown.room.height();
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
    for (QWidget *window : windows) {
        for (QWidget *control : window->findChildren<QWidget *>()) {
            const Shown shown = shownText(control);
            if (control->isVisibleTo(window) && !shown.text.isEmpty() &&
                !fits(shown, control->font()))
                cut << window->objectName() + "." + control->objectName();
        }
        for (QAbstractScrollArea *area : window->findChildren<QAbstractScrollArea *>())
            if (area->verticalScrollBar()->maximum() > 0) // the page, the legend
                cut << window->objectName() + "." + area->objectName();
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
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
    // The instructions page shows each picture from the file of its ratio, pixel for pixel.
    auto *page = control<QTextBrowser>(app::form1(), "OLE1");
    const QImage shown = page->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const char *name : {"immagine1", "immagine2", "immagine3", "immagine4"}) {
        const QString file =
            QStringLiteral(":/resources/%1%2.png").arg(name, ratio == 2 ? "@2x" : "");
        const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!picture.isNull() && holds(shown, picture), qPrintable(file));
    }
}

QTEST_MAIN(tst_Scale)
#include "tst_scale.moc"
