#include "calibration/form2.h"

#include "app/appearance.h"
#include "app/controls.h"
#include "app/desktop.h"
#include "app/message.h"
#include "app/windows.h"
#include "app/wrappingbutton.h"
#include "common/numbers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

namespace {

// The scale width and the figure's radius, as single-precision values.
constexpr float figureScaleWidth = 146367.359375f;
constexpr double figureRadius = 36367.36328125;

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

    HScroll1->setAccessibleName("Barra di calibrazione");
    Text1->setAccessibleName("Rapporto dello schermo");
    setAccessibleDescription("Una figura rossa sugli assi, che la barra di calibrazione allunga o "
                             "schiaccia: è giusta quando appare una circonferenza");
    setWindowState(Qt::WindowMaximized);
}

void Form2::Form_Activate()
{
    P1 = 3.1415927f / 180;
    m_Incr = 0.51;
    app::setBoxText(Text1, formatNumber(m_Incr));
    COORDINATE();
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
    const double next = HScroll1->value() * 0.02 + 0.51;
    if (m_Incr > next) // the figure grows taller: the flatter ones would show through
        Cls();
    m_Incr = next;
    app::setBoxText(Text1, formatNumber(m_Incr));
    COORDINATE();
}

void Form2::Command1_Click()
{
    if (m_Incr > 0.53)
        app::showPoints();
    else
        app::showMessage(this, "Impostare la risoluzione SCHERMO");
}

void Form2::Command3_Click()
{
    app::endProgram();
}
