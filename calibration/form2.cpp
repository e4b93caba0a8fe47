#include "calibration/form2.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/message.h"
#include "common/angles.h"
#include "app/windows.h"
#include "app/wrappingbutton.h"
#include "calibration/calibrationbar.h"
#include "common/numbers.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace {

// The scale width and the figure's radius, as single-precision values.
constexpr float figureScaleWidth = 146367.359375f;
constexpr double figureRadius = 36367.36328125;

// What a screen reader says of the calibration bar: the ratio it sets ("0,55"), as the box
// beside it shows it, not its position 1 to 30. Qt's own scroll bar interface reports the
// position; this one gives ratios wherever a reader looks: the value text, and the value with
// its bounds and step.
class CalibrationBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit CalibrationBarAccessible(QScrollBar *bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return formatNumber(barRatio(bar()->value()));
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return barRatio(bar()->value()); }
    // A reader setting a ratio moves the bar to the nearest step, as a click would.
    void setCurrentValue(const QVariant &value) override
    {
        bar()->setValue(qRound((value.toDouble() - barRatio(0)) / barStep));
    }
    QVariant maximumValue() const override { return barRatio(bar()->maximum()); }
    QVariant minimumValue() const override { return barRatio(bar()->minimum()); }
    QVariant minimumStepSize() const override { return barStep; }

private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }
};

QAccessibleInterface *calibrationBarInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("QScrollBar") && object->objectName() == "HScroll1" &&
        qobject_cast<Form2 *>(object->parent()))
        return new CalibrationBarAccessible(static_cast<QScrollBar *>(object));
    return nullptr;
}

} // namespace

Form2::Form2(QWidget *parent)
    : DrawingSurface(parent),
      Label1(app::createControl<QLabel>(
          this, "Label1", {360, 240, 9135, 495},
          "Per calibrare l' impostazione corretta della risoluzione dello SCHERMO")),
      HScroll1(
          app::createControl<QScrollBar>(this, "HScroll1", {480, 1080, 5895, 255}, Qt::Horizontal)),
      Command2(app::createControl<WrappingButton>(
          this, "Command2", {360, 1560, 6255, 735},
          "KLICCARE  sulla barra di scorrimento fino a che la figura  "
          "risulti una CIRCONFERENZA")),
      Text1(app::createControl<QLineEdit>(this, "Text1", {360, 2880, 735, 375}, "Text1")),
      Command1(app::createControl<QPushButton>(this, "Command1", {3120, 2880, 1575, 615},
                                               "OK - continua")),
      Command3(app::createControl<QPushButton>(this, "Command3", {360, 4080, 1695, 615}, "ESCI"))
{
    setObjectName("Form2");
    setWindowTitle("Form2");
    // Before anything asks for the bar's interface: Qt keeps the first one it makes.
    static const bool readerInstalled = [] {
        QAccessible::installFactory(calibrationBarInterface);
        return true;
    }();
    Q_UNUSED(readerInstalled);
    setFont(app::sansSerif());
    resize(app::twips(9855), app::twips(6840));
    // Set before the change handler is connected: creating the window changes nothing.
    HScroll1->setRange(1, 30);
    HScroll1->setValue(1);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setTracking(false);
    HScroll1->setFocusPolicy(Qt::StrongFocus); // first in the tab order; arrow keys step it

    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);

    app::setTabOrder({HScroll1, Text1, Command1, Command2, Command3});

    Label1->setFont(app::sansSerif(13.5));
    Label1->setWordWrap(true);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);
    QPalette orange = Command2->palette();
    orange.setColor(QPalette::Button, QColor(255, 192, 128));
    Command2->setPalette(orange);
    QPalette highlighted = Command1->palette();
    highlighted.setColor(QPalette::Button, highlighted.color(QPalette::HighlightedText));
    Command1->setPalette(highlighted);
    app::coverDrawing(this);

    setAccessibleName("Cinquepunti – calibrazione dello schermo");
    HScroll1->setAccessibleName("Barra di calibrazione");
    Text1->setAccessibleName("Rapporto dello schermo");
    setAccessibleDescription("Una figura rossa sugli assi, che la barra di calibrazione allunga o "
                             "schiaccia: è giusta quando appare una circonferenza");
    setWindowState(Qt::WindowMaximized);
}

void Form2::Form_Activate()
{
    fitBarToScreen();
    P1 = degreesToRadians;
    m_Incr = 0.51;
    app::setBoxText(Text1, formatNumber(m_Incr));
    COORDINATE();
}

void Form2::fitBarToScreen()
{
    const QScreen *shown = screen();
    if (!shown)
        return;
    // The client area of the maximised window: the screen's available area less the frame the
    // window has now.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client = shown->availableGeometry().size() - frame;
    if (client.isEmpty())
        return;
    const BarRange range = barRangeFor(double(client.height()) / client.width());
    // No move of the user's: where a narrower range takes the bar inside it, no handler runs.
    const QSignalBlocker quiet(HScroll1);
    HScroll1->setRange(range.minimum, range.maximum);
}

void Form2::COORDINATE()
{
    setScaleMode(UserScaleMode);
    setDrawWidth(1);
    setCalibratedScale(figureScaleWidth, m_Incr);
    CX = ScaleWidth() / 2 + 20000;
    CY = ScaleHeight() / 2;
    Line(CX, 0, CX, ScaleHeight());
    Line(0, CY, ScaleWidth(), CY);
    TRACCIA();
}

void Form2::TRACCIA()
{
    // The angle is accumulated, not multiplied: the sum passes 360 just before the 3601st
    // point, so exactly 3600 points are plotted.
    for (double t = 0; t <= 360; t += 0.1) {
        XR = std::cos(t * P1) * figureRadius;
        YR = std::sin(t * P1) * figureRadius;
        setDrawWidth(1);
        PSet(static_cast<float>(XR + CX), static_cast<float>(YR + CY), QBColor(4));
    }
}

void Form2::HScroll1_Change()
{
    const double next = barRatio(HScroll1->value());
    if (m_Incr > next) // the figure grows taller: the flatter ones would show through
        Cls();
    m_Incr = next;
    app::setBoxText(Text1, formatNumber(m_Incr));
    COORDINATE();
}

void Form2::Command1_Click()
{
    // Refused: the ratio of each activation (0.51) and of the bar's first position (0.53). The
    // ratios below 0.51 come from a bar widened for a wide screen, and are the user's choice.
    if (m_Incr > 0.53 || m_Incr < 0.51)
        app::showPoints();
    else
        app::showMessage(this, "Impostare la risoluzione SCHERMO");
}

void Form2::Command3_Click()
{
    app::endProgram();
}
